#pragma once

#include "platform/win32/windows_api.h"

#include <objbase.h>

#include <functional>

// Speech objects of the tests' own behind real COM: a class registered in this process under
// a speech service's class identifier, so that the backends' CoCreateInstance gets the
// tests' object. COM is started once for the test program (com_fakes.cpp).
namespace com_fakes {

// How many references an object holds, so that a test can tell every one was given back.
class ReferenceCount {
 public:
  ULONG Add() { return static_cast<ULONG>(++count_); }
  ULONG Drop() { return static_cast<ULONG>(--count_); }
  long Count() const { return count_; }

 private:
  long count_ = 0;
};

// Registered for the lifetime of the object; `make` answers each CreateInstance.
class RegisteredClass : public IClassFactory {
 public:
  using Make = std::function<HRESULT(REFIID interfaceId, void** object)>;
  RegisteredClass(REFCLSID classId, Make make);
  ~RegisteredClass();
  RegisteredClass(const RegisteredClass&) = delete;
  RegisteredClass& operator=(const RegisteredClass&) = delete;

  bool Registered() const { return registered_; }
  int Created() const { return created_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return references_.Add(); }
  ULONG STDMETHODCALLTYPE Release() override { return references_.Drop(); }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID interfaceId, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  Make make_;
  ReferenceCount references_;
  DWORD cookie_ = 0;
  bool registered_ = false;
  int created_ = 0;
};

}  // namespace com_fakes
