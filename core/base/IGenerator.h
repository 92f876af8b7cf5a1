#pragma once

namespace s::base {

// Makes objects; a pool exposes its acquire through it.
class IGenerator {
public:
    virtual ~IGenerator() = default;
    virtual void* generate() = 0;
};

} // namespace s::base
