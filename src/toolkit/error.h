#pragma once
#include <QString>
#include <exception>

namespace tk {

// A failure of one statement, carrying a number the caller can tell apart from others.
class Error : public std::exception {
  public:
    enum Number {
        Overflow = 6,
        OutOfMemory = 7, // a list box that can take no more entries
        TypeMismatch = 13,
        DeviceUnavailable = 68, // a drive that cannot be read
        PathNotFound = 76,
        InvalidProperty = 380, // a value a control rejects
    };
    explicit Error(int number, QString description = {});
    int number() const { return number_; }
    const QString& description() const { return description_; }
    const char* what() const noexcept override { return what_.constData(); }

  private:
    int number_;
    QString description_;
    QByteArray what_;
};

// Runs one statement; a failure is swallowed and reported as false ("skip and go on").
template <class F> bool attempt(F&& statement) {
    try {
        statement();
        return true;
    } catch (const Error&) {
        return false;
    }
}

} // namespace tk
