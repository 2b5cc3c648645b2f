#pragma once

#include <cstdint>

namespace vt::files {

// While a OneLook lasts, each folder listed and each text read on its thread is looked at on disk
// once: AllFiles and readTextFile give again what they found the first time, without another look
// at its stamp. The batch opens one for each record, whose steps list the PAD text folder and read
// the record's text more than once. A listing or text that had just changed when it was read is not
// kept, and so is looked at every time, as outside a look.
class OneLook {
public:
    OneLook();
    ~OneLook();
    OneLook(const OneLook&) = delete;
    OneLook& operator=(const OneLook&) = delete;

    // The look open on this thread, or 0 when there is none.
    static std::uint64_t current();

private:
    std::uint64_t m_outer;
};

} // namespace vt::files
