#pragma once
#include "core/base/IObject.h"

namespace s::map { class IMappedData; }
namespace s::image::gui { class IEncodeSettingBox; }
namespace s::image::win {
class BufferedImage;
class BufferedImageSet;
}

namespace s::image {

class IEncodedImage;

// The options of one writable format, kept in a settings store, and the encoding of a
// picture with them.
class IEncodeSetting : public base::IObject {
public:
    // An encoded image of the format made from image (its filtered copy when filters
    // are attached) with these options; null when it cannot be made.
    virtual IEncodedImage* encode(win::BufferedImage* image) = 0;
    // An encoded image made from a set: from its first frame, or (GIF) from every frame
    // of an animated set of several; null when it cannot be made.
    virtual IEncodedImage* encode(const win::BufferedImageSet* set) = 0;
    // Takes the format's option box from its pool, links box and setting both ways and
    // answers it (the caller releases it); null when no box can be made.
    virtual gui::IEncodeSettingBox* createBox() = 0;
    // Copies the choices of the linked option box, when it is built, into the options
    // and saves them; true (also when there is no box to read).
    virtual bool applyBox() = 0;
    // A settings store is set.
    virtual bool isBound() const = 0;
    virtual map::IMappedData* store() const = 0;
    // Keeps a copy of the prefix (the caller's group path) and the store, then loads.
    virtual void bind(const wchar_t* prefix, map::IMappedData* store) = 0;
    // Reads the options from the group; a missing or unusable value gives the default.
    // Nothing when not bound.
    virtual void load() = 0;
    // Writes the options; false when not bound or a value could not be stored.
    virtual bool save() = 0;
};

} // namespace s::image
