#pragma once
// Answers questions about the running Windows installation. The class has no fields: an instance
// is a one-word block holding the dispatch-table pointer, and the order of the virtual operations
// below is the class's dispatch order. No class derives from it.

class OsInfo {
 public:
  // Releases nothing: there is nothing but the block, which the owner releases afterwards.
  virtual void Destroy();
  // A new instance owned by the caller.
  virtual OsInfo* Copy() const;
};
