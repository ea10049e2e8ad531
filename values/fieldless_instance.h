#pragma once
// An instance of a class without fields is a one-word block from the run-time allocator that holds
// the pointer to the class's dispatch table.
#include <new>

#include "runtime/heap.h"

template <class Class>
Class* NewFieldlessInstance() {
  static_assert(sizeof(Class) == sizeof(void*), "a field-less class with a dispatch table");
  return new (Allocate(sizeof(Class))) Class();
}

// A fresh block holding the same dispatch-table pointer; the caller owns it.
template <class Class>
Class* CopyFieldlessInstance(const Class& instance) {
  return new (Allocate(sizeof(Class))) Class(instance);
}
