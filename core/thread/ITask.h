#pragma once

namespace s::thread {

// A unit of work run on a worker thread.
class ITask {
public:
    virtual ~ITask() = default;
    virtual void run() = 0;
};

} // namespace s::thread
