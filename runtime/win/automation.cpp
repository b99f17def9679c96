#include "runtime/win/automation.hpp"

#include <oleauto.h>

#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "runtime/win/wide_text.hpp"

namespace lumen {
namespace {

using win::Bstr;
using win::ComPtr;

// CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER, with and
// without CLSCTX_REMOTE_SERVER, which some systems refuse as E_INVALIDARG.
constexpr DWORD kAnyServer = 23;
constexpr DWORD kLocalServers = 7;

// A VARIANT that is cleared (its string freed, its object released) when it goes.
class Variant {
 public:
  Variant() noexcept { VariantInit(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&value_); }

  [[nodiscard]] VARIANT* get() noexcept { return &value_; }
  [[nodiscard]] const VARIANT& operator*() const noexcept { return value_; }

  // Puts the value, converted to another type, into `converted`; false when
  // it does not convert.
  [[nodiscard]] bool convert_to(VARTYPE type, Variant& converted) noexcept {
    const USHORT flags = type == VT_BSTR ? VARIANT_ALPHABOOL : 0;
    return SUCCEEDED(VariantChangeTypeEx(converted.get(), &value_, LOCALE_INVARIANT, flags, type));
  }

 private:
  VARIANT value_;
};

// The arguments of one call, in the reverse order IDispatch::Invoke expects.
class ArgumentList {
 public:
  explicit ArgumentList(AutomationArguments arguments) {
    items_.reserve(arguments.size());
    for (auto it = std::rbegin(arguments); it != std::rend(arguments); ++it) items_.push_back(to_variant(*it));
  }
  ArgumentList(const ArgumentList&) = delete;
  ArgumentList& operator=(const ArgumentList&) = delete;
  ~ArgumentList() {
    for (VARIANT& item : items_) VariantClear(&item);
  }

  [[nodiscard]] VARIANT* data() noexcept { return items_.data(); }
  [[nodiscard]] UINT size() const noexcept { return static_cast<UINT>(items_.size()); }

 private:
  [[nodiscard]] static VARIANT to_variant(const AutomationValue& argument) {
    VARIANT item;
    VariantInit(&item);
    std::visit(
        [&item](const auto& value) {
          using T = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<T, std::string_view>) {
            item.vt = VT_BSTR;
            item.bstrVal = win::to_bstr(value).release();
          } else if constexpr (std::is_same_v<T, std::int32_t>) {
            item.vt = VT_I4;
            item.lVal = value;
          } else if constexpr (std::is_same_v<T, double>) {
            item.vt = VT_R8;
            item.dblVal = value;
          } else {
            item.vt = VT_BOOL;
            item.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
          }
        },
        argument.value());
    return item;
  }

  std::vector<VARIANT> items_;
};

// The strings a failed call may leave in its exception record.
class ExceptionRecord {
 public:
  ExceptionRecord() noexcept = default;
  ExceptionRecord(const ExceptionRecord&) = delete;
  ExceptionRecord& operator=(const ExceptionRecord&) = delete;
  ~ExceptionRecord() {
    SysFreeString(record_.bstrSource);
    SysFreeString(record_.bstrDescription);
    SysFreeString(record_.bstrHelpFile);
  }
  [[nodiscard]] EXCEPINFO* get() noexcept { return &record_; }

 private:
  EXCEPINFO record_{};
};

[[nodiscard]] std::optional<DISPID> member_id(IDispatch& object, std::string_view name) {
  std::wstring wide_name = win::widen(name);
  LPOLESTR names[] = {wide_name.data()};
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return std::nullopt;
  return id;
}

HRESULT invoke(IDispatch& target, DISPID id, WORD kind, AutomationArguments arguments, Variant& result) {
  ArgumentList list(arguments);
  DISPPARAMS parameters{list.data(), nullptr, list.size(), 0};
  ExceptionRecord exception;
  UINT bad_argument = 0;
  return target.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters, result.get(), exception.get(),
                       &bad_argument);
}

// Calls the member as a method or reads it as a property; the result is left
// empty on failure. Some script engines refuse a combined method-or-property
// call on a plain value, so an argument-less member is then read as a
// property alone, which never runs a method a second time.
bool call_member(const ObjectRef& object, std::string_view name, AutomationArguments arguments,
                 Variant& result) {
  IDispatch* target = object.get();
  if (target == nullptr) return false;
  const std::optional<DISPID> id = member_id(*target, name);
  if (!id) return false;
  if (SUCCEEDED(invoke(*target, *id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments, result))) return true;
  return arguments.size() == 0 && SUCCEEDED(invoke(*target, *id, DISPATCH_PROPERTYGET, arguments, result));
}

// A text result counts as a number only when it is written as one: the
// system's own conversion would read "2,3" (an array's text form) as 23.
[[nodiscard]] double plain_number(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return 0;
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);
  if (text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.find_first_not_of("0123456789.eE+-") != std::string_view::npos) return 0;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

[[nodiscard]] std::optional<CLSID> class_from_name(std::string_view name) {
  std::wstring wide_name = win::widen(name);
  CLSID id{};
  const HRESULT found = name.starts_with('{') ? CLSIDFromString(wide_name.data(), &id)
                                              : CLSIDFromProgID(wide_name.c_str(), &id);
  if (FAILED(found)) return std::nullopt;
  return id;
}

[[nodiscard]] std::optional<CLSID> class_of_type_info(ITypeLib& library, UINT index) {
  ComPtr<ITypeInfo> info;
  if (FAILED(library.GetTypeInfo(index, info.put()))) return std::nullopt;
  TYPEATTR* attributes = nullptr;
  if (FAILED(info->GetTypeAttr(&attributes))) return std::nullopt;
  const CLSID id = attributes->guid;
  info->ReleaseTypeAttr(attributes);
  return id;
}

// The class called `name` (ASCII case ignored, as class names are) in the type
// library file.
[[nodiscard]] std::optional<CLSID> class_in_type_library(std::string_view name, std::string_view file) {
  std::wstring path = win::widen(file);
  ComPtr<ITypeLib> library;
  if (FAILED(LoadTypeLib(path.c_str(), library.put()))) return std::nullopt;
  // Registration only helps later lookups by ProgID; creating the class
  // below does not depend on it, so its outcome does not matter here.
  if (file.find('\\') != std::string_view::npos) {
    static_cast<void>(RegisterTypeLib(library.get(), path.data(), nullptr));
  }
  const std::wstring wanted = win::widen(name);
  const UINT count = library->GetTypeInfoCount();
  for (UINT index = 0; index < count; ++index) {
    TYPEKIND kind{};
    if (FAILED(library->GetTypeInfoType(index, &kind)) || kind != TKIND_COCLASS) continue;
    BSTR raw_name = nullptr;
    if (FAILED(library->GetDocumentation(static_cast<INT>(index), &raw_name, nullptr, nullptr, nullptr))) continue;
    const Bstr type_name(raw_name);
    if (type_name && lstrcmpiW(type_name.get(), wanted.c_str()) == 0) return class_of_type_info(*library.get(), index);
  }
  return std::nullopt;
}

[[nodiscard]] ComPtr<IDispatch> instantiate(const CLSID& id) {
  ComPtr<IDispatch> object;
  HRESULT created = CoCreateInstance(id, nullptr, kAnyServer, IID_IDispatch, object.put_void());
  if (created == E_INVALIDARG) created = CoCreateInstance(id, nullptr, kLocalServers, IID_IDispatch, object.put_void());
  if (FAILED(created)) return {};
  return object;
}

[[nodiscard]] ComPtr<IDispatch> instantiate_named(std::string_view name, std::string_view type_library) {
  if (!type_library.empty() && !name.starts_with('{')) {
    if (const auto id = class_in_type_library(name, type_library)) {
      if (ComPtr<IDispatch> object = instantiate(*id)) return object;
    }
  }
  const auto id = class_from_name(name);
  return id ? instantiate(*id) : ComPtr<IDispatch>{};
}

}  // namespace

bool create_object(ObjectRef& object, std::string_view name, std::string_view type_library) {
  ComPtr<IDispatch> created = instantiate_named(name, type_library);
  if (!created || FAILED(OleRun(created.get()))) return false;
  object = ObjectRef(std::move(created));
  return true;
}

bool object_set(const ObjectRef& object, std::string_view property, const AutomationValue& value) {
  IDispatch* target = object.get();
  if (target == nullptr) return false;
  const std::optional<DISPID> id = member_id(*target, property);
  if (!id) return false;
  ArgumentList list({value});
  DISPID put_id = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{list.data(), &put_id, list.size(), 1};
  ExceptionRecord exception;
  UINT bad_argument = 0;
  return SUCCEEDED(target->Invoke(*id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &parameters, nullptr,
                                  exception.get(), &bad_argument));
}

Text object_call_text(const ObjectRef& object, std::string_view method, AutomationArguments arguments) {
  Variant result;
  if (!call_member(object, method, arguments, result)) return {};
  if ((*result).vt == VT_BSTR) return win::from_bstr((*result).bstrVal);
  Variant text;
  return result.convert_to(VT_BSTR, text) ? win::from_bstr((*text).bstrVal) : Text{};
}

double object_call_number(const ObjectRef& object, std::string_view method, AutomationArguments arguments) {
  Variant result;
  if (!call_member(object, method, arguments, result)) return 0;
  switch ((*result).vt) {
    case VT_BSTR: return plain_number(win::from_bstr((*result).bstrVal));
    case VT_DISPATCH:
    case VT_UNKNOWN:
    case VT_EMPTY:
    case VT_NULL: return 0;
    default: {
      Variant number;
      return result.convert_to(VT_R8, number) ? (*number).dblVal : 0;
    }
  }
}

bool object_call_bool(const ObjectRef& object, std::string_view method, AutomationArguments arguments) {
  Variant result;
  if (!call_member(object, method, arguments, result)) return false;
  Variant flag;
  return result.convert_to(VT_BOOL, flag) && (*flag).boolVal != VARIANT_FALSE;
}

ObjectRef object_call_object(const ObjectRef& object, std::string_view method, AutomationArguments arguments) {
  Variant result;
  if (!call_member(object, method, arguments, result)) return {};
  const VARIANT& value = *result;
  if (value.vt == VT_DISPATCH && value.pdispVal != nullptr) {
    value.pdispVal->AddRef();
    return ObjectRef(ComPtr<IDispatch>(value.pdispVal));
  }
  if (value.vt == VT_UNKNOWN && value.punkVal != nullptr) {
    ComPtr<IDispatch> object_interface;
    value.punkVal->QueryInterface(IID_IDispatch, object_interface.put_void());
    return ObjectRef(std::move(object_interface));
  }
  return {};
}

void object_assign(ObjectRef& target, const ObjectRef& source) noexcept { target = source; }

void object_release(ObjectRef& object) noexcept { object = ObjectRef(); }

bool object_is_empty(const ObjectRef& object) noexcept { return object.get() == nullptr; }

}  // namespace lumen
