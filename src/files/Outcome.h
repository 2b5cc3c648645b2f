#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace vt {

// The one failure shape of the project: an operation returns whether it worked and,
// when it did not, a message that names what failed. Nothing is thrown.
class [[nodiscard]] Status {
public:
    static Status success() { return Status(); }
    static Status failure(QString message) { return Status(std::move(message)); }

    bool ok() const { return !m_message.has_value(); }
    explicit operator bool() const { return ok(); }
    QString message() const { return m_message.value_or(QString()); }

private:
    Status() = default;
    explicit Status(QString message)
        : m_message(std::move(message)) {}

    std::optional<QString> m_message;
};

// A value, or the message of the failure that kept it from being made.
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value)
        : m_value(std::move(value)) {}
    Result(Status failure)
        : m_failure(std::move(failure)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    QString message() const { return m_failure.message(); }
    Status status() const { return m_failure; }

private:
    std::optional<T> m_value;
    Status m_failure = Status::success();
};

} // namespace vt
