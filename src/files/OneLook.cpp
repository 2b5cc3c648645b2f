#include "files/OneLook.h"

#include <atomic>

namespace vt::files {
namespace {

std::atomic<std::uint64_t> lastLook{0};
thread_local std::uint64_t openLook = 0;

} // namespace

OneLook::OneLook()
    : m_outer(openLook) {
    openLook = ++lastLook;
}

OneLook::~OneLook() {
    openLook = m_outer;
}

std::uint64_t OneLook::current() {
    return openLook;
}

} // namespace vt::files
