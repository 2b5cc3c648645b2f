#pragma once

#include <array>
#include <cstddef>

namespace vt::workflow {

// The controls of the main window whose state the workflow holds or changes.
enum class Control {
    Command1,
    Command2,
    Command3,
    Command4,
    Command5,
    Command6,
    Command7,
    Command8,
    Command11,
    Command12,
    Label2,
    Label3,
    Label4,
    Label5,
    Label6,
    Label7,
    Text1,
    Text2,
    Text3,
    Text4,
    Text5,
    Check1,
    Check2,
    Check3,
    Combo1,
    WebBrowser1,
};
constexpr std::size_t ControlCount = std::size_t(Control::WebBrowser1) + 1;

// One flag per control, such as "shown" or "enabled".
class ControlFlags {
public:
    explicit ControlFlags(bool initial) { m_flags.fill(initial); }
    bool operator[](Control control) const { return m_flags[std::size_t(control)]; }
    void set(Control control, bool value) { m_flags[std::size_t(control)] = value; }

private:
    std::array<bool, ControlCount> m_flags{};
};

} // namespace vt::workflow
