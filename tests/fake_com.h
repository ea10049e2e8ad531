#pragma once
// The COM plumbing of the test fakes. Their objects count every reference taken or dropped in a
// live count that the tests read, so a reference that the product keeps, or drops twice, shows.
#include <windows.h>

#include <unknwn.h>

// `Find` names the interfaces the object answers for.
template <class Base>
class CountedObject : public Base {
 public:
  explicit CountedObject(long& live) : live_(live) { ++live_; }
  CountedObject(const CountedObject&) = delete;
  CountedObject& operator=(const CountedObject&) = delete;
  virtual ~CountedObject() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = Find(iid);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    ++live_;
    return ++references_;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    --live_;
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  // This object as the interface, or null when it does not answer for it.
  virtual void* Find(REFIID iid) = 0;

 private:
  long& live_;
  ULONG references_ = 1;
};

// An object that answers for its one interface and IUnknown.
template <class Interface>
class CountedSingle : public CountedObject<Interface> {
 public:
  using CountedObject<Interface>::CountedObject;

 protected:
  void* Find(REFIID iid) override {
    bool known = iid == __uuidof(IUnknown) || iid == __uuidof(Interface);
    return known ? static_cast<Interface*>(this) : nullptr;
  }
};

// A class object that lives as long as the process, since COM may hold it until its revocation
// returns: it counts no references. Each fake supplies CreateInstance.
class StaticClassFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};
