#include "com_fakes.h"

#include <gtest/gtest.h>

namespace com_fakes {
namespace {

// The test program's thread is the backends' one: COM starts as the programs start it.
class ComEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr))); }
  void TearDown() override { ::CoUninitialize(); }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace

RegisteredClass::RegisteredClass(REFCLSID classId, Make make) : make_(std::move(make)) {
  registered_ = SUCCEEDED(::CoRegisterClassObject(classId, this, CLSCTX_INPROC_SERVER,
                                                  REGCLS_MULTIPLEUSE, &cookie_));
}

RegisteredClass::~RegisteredClass() {
  if (registered_) ::CoRevokeClassObject(cookie_);
}

HRESULT RegisteredClass::QueryInterface(REFIID interfaceId, void** object) {
  if (interfaceId == IID_IUnknown || interfaceId == IID_IClassFactory) {
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT RegisteredClass::CreateInstance(IUnknown* outer, REFIID interfaceId, void** object) {
  *object = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  ++created_;
  return make_(interfaceId, object);
}

}  // namespace com_fakes
