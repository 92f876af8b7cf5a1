#pragma once
#include <cstdint>

#include "core/base/IDestructor.h"
#include "core/base/IGenerator.h"
#include "core/base/IObject.h"
#include "core/thread/ObjLocker.h"

namespace s::col::_array { class ArrayP; }

namespace s::thread {

// A pool with a size budget for subclasses that make and destroy their own objects.
// With byte accounting off (the default) every release destroys the object and
// every acquire generates a new one; with it on, objects of at most 1024 bytes are
// kept while at most 1000 are idle and their sizes total at most 102400 bytes.
class PoolerBase : public base::IObject, public base::IGenerator, public base::IDestructor {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_thread_PoolerBase";
    static constexpr int32_t MAX_IDLE = 1000;
    static constexpr int32_t MAX_OBJECT_SIZE = 1024;
    static constexpr int32_t MAX_TOTAL = 102400;

    PoolerBase();
    ~PoolerBase() override;
    PoolerBase(const PoolerBase&) = delete;
    PoolerBase& operator=(const PoolerBase&) = delete;

    const wchar_t* className() const override { return CLASS_NAME; }

    virtual int32_t sizeOf(void* object);
    // size -1 asks sizeOf().
    virtual void release(void* object, int32_t size);
    virtual void* acquire();
    // Readies an object for the idle list.
    virtual void prepare(void* object) = 0;
    virtual void destroyObject(void* object) = 0;

    void dispose(void** slot) override;

    void setAccounting(bool on);
    int32_t idleCount();
    int32_t bytesHeld();

    // Destroys every idle object; subclasses call it from their destructor, while
    // destroyObject() still reaches their override.
    void destroyIdle();

private:
    ObjLocker lock_;
    col::_array::ArrayP* idle_;
    int32_t maxIdle_;
    int32_t maxObjectSize_;
    int32_t maxTotal_;
    int32_t bytesHeld_;
    bool accounting_;
};

} // namespace s::thread
