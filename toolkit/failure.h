#pragma once
// The one exception type the programs throw themselves: a message, already
// in the words the user is shown (or the log gets). Derived from
// std::exception alone, so that throwing it brings none of the runtime's
// string-holding exception classes into the Windows programs.
#include <exception>
#include <string>
#include <utility>

namespace qv {

class Failure : public std::exception {
public:
    explicit Failure(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

}  // namespace qv
