#pragma once
// Owns one BSTR (a null one is the empty string) and frees it when it goes out of scope.
#include <windows.h>

#include <oleauto.h>

#include <utility>

class SystemString {
 public:
  SystemString() = default;
  explicit SystemString(BSTR adopted) : string_(adopted) {}
  SystemString(const SystemString&) = delete;
  SystemString& operator=(const SystemString&) = delete;
  SystemString(SystemString&& other) noexcept : string_(std::exchange(other.string_, nullptr)) {}
  ~SystemString() { SysFreeString(string_); }

  BSTR get() const { return string_; }

 private:
  BSTR string_ = nullptr;
};

// A fresh system string of a text in the ANSI code page; null for a null or empty text and for one
// that cannot be converted.
BSTR AnsiToBstr(const char* text);
