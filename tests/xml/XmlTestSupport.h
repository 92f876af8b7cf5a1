// Small helpers of the XML tests: pooled objects released at the end of the scope,
// and the texts a node writes or reads back.
#pragma once
#include "support/Released.h"
#include <memory>
#include <string>

#include "core/str/strbuffer/StrBuffer.h"
#include "system/xml/Node.h"

template <class T>
using Held = Released<T>;

inline Held<s::xml::Node> parsed(const wchar_t* text) {
    Held<s::xml::Node> node(s::xml::Node::pool());
    node->parse(text);
    return node;
}

inline std::wstring written(const s::xml::Node* node) {
    Held<s::str::strbuffer::StrBuffer> text(node->write(nullptr, false));
    return text->c_str();
}

// The unescaped value, or "<missing>".
inline std::wstring valueOf(const s::xml::Node* node, const wchar_t* name) {
    Held<s::str::strbuffer::StrBuffer> text(node->getString(nullptr, name, L"<missing>", false));
    return text->c_str();
}
