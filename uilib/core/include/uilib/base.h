// Root of the library's class hierarchy: every object the library owns and
// deletes through a base pointer derives from it.
#pragma once

class CUILibBase {
 public:
  CUILibBase() = default;
  CUILibBase(const CUILibBase&) = delete;
  CUILibBase& operator=(const CUILibBase&) = delete;
  virtual ~CUILibBase() = default;
};
