#pragma once

#include <QString>

#include <optional>
#include <utility>

class ComponentError;
class HTTPRequest;

// What a core call that went wrong reports: the message a window shows as it stands, and
// what the failed operation said.
struct Failure {
    QString Message;
    QString Details;
    // The number of the component error behind it; 0 for none.
    quint32 Number = 0;
};

// A component error under the message of the operation it stopped.
Failure FailureOf(const ComponentError& error, const QString& message);
// A request that failed: in the details its error, or its HTTP status when the transfer
// itself went well.
Failure RequestFailure(const HTTPRequest& request, const QString& message);
// A message about a file or folder: its path, a blank line, the message.
QString AboutPath(const QString& path, const QString& message);

// The value of a core call, or what kept it from one.
template <typename T> class Outcome {
public:
    Outcome(T value) : m_value(std::move(value)) {}
    Outcome(Failure failure) : m_failure(std::move(failure)) {}

    explicit operator bool() const { return m_value.has_value(); }
    const T& operator*() const { return *m_value; }
    T& operator*() { return *m_value; }
    const T* operator->() const { return &*m_value; }
    const Failure& Error() const { return m_failure; }

private:
    std::optional<T> m_value;
    Failure m_failure;
};

// A call that gives nothing back: nothing, or its failure.
using Problem = std::optional<Failure>;
