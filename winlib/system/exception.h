// The class library's exceptions: the only ones the system lets travel.
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// A registry value that cannot be read as asked.
class ERegistryException : public Exception {
 public:
  using Exception::Exception;
};

// A picture file that cannot be loaded or decoded.
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

// A stored layout that names an unknown class, property or method.
class ELayoutError : public Exception {
 public:
  using Exception::Exception;
};
