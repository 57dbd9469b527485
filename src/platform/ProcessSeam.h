#pragma once
// A process-wide test seam: the one object of type T that the code asks for, replaced
// for a Scope's lifetime. Nothing is installed unless a test does so; scopes nest and
// end in reverse order, each putting back what it replaced. UI thread only.
#include "platform/DebugReport.h"

namespace qv {

template <class T>
class ProcessSeam {
 public:
  class Scope {
   public:
    explicit Scope(T& object) : m_pObject(&object), m_pPrevious(Slot()) { Slot() = &object; }
    ~Scope() {
      QV_ASSERT(Slot() == m_pObject);
      Slot() = m_pPrevious;
    }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    T* m_pObject;
    T* m_pPrevious;
  };

  // The installed object, or null.
  static T* Installed() { return Slot(); }

 private:
  static T*& Slot() {
    static T* slot = nullptr;
    return slot;
  }
};

}  // namespace qv
