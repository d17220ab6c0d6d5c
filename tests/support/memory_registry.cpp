// The in-memory registry's calls, with Windows' result codes and access checks.
#include "support/memory_registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "persist/text_values.h"

namespace tavo::testing {

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

long MemoryRegistry::Injected(Call kind, const std::string& target) {
    ++calls_[kind];
    for (auto it = failures_.begin(); it != failures_.end(); ++it) {
        if (it->kind != kind || (!it->target.empty() && !SameText(it->target, target))) continue;
        if (it->skip-- > 0) continue;
        const long code = it->code;
        if (it->times > 0 && --it->times == 0) failures_.erase(it);
        return code;
    }
    return kErrorSuccess;
}

void MemoryRegistry::Fail(Call kind, const std::string& target, int skip, long code, int times) {
    failures_.push_back({kind, target, skip, code, times});
}

void MemoryRegistry::Restrict(const std::string& path, uint32_t allowed) {
    allowed_[Lower(path)] = allowed;
}

bool MemoryRegistry::Allowed(const std::string& path, uint32_t access) const {
    const auto it = allowed_.find(Lower(path));
    return it == allowed_.end() || (access & ~it->second) == 0;
}

int MemoryRegistry::Calls(Call kind) const {
    const auto it = calls_.find(kind);
    return it == calls_.end() ? 0 : it->second;
}

const MemoryRegistry::Handle* MemoryRegistry::HandleOf(RegKey key) const {
    static const Handle root{"", kKeyAllAccess};
    if (key == kHkeyCurrentUser) return &root;
    const auto it = handles_.find(key);
    return it == handles_.end() ? nullptr : &it->second;
}

std::string MemoryRegistry::PathOf(RegKey parent, const std::string& subKey) const {
    const std::string& base = HandleOf(parent)->path;
    if (base.empty()) return subKey;
    return subKey.empty() ? base : base + "\\" + subKey;
}

RegKey MemoryRegistry::NewHandle(const std::string& path, uint32_t access) {
    const RegKey key = nextHandle_;
    nextHandle_ += 4;
    handles_[key] = {path, access};
    return key;
}

MemoryRegistry::Key& MemoryRegistry::MakeKey(const std::string& path) {
    for (size_t cut = path.find('\\'); cut != std::string::npos; cut = path.find('\\', cut + 1))
        keys_[Lower(path.substr(0, cut))];
    return keys_[Lower(path)];
}

long MemoryRegistry::CreateKeyEx(RegKey parent, const std::string& subKey, uint32_t, uint32_t access,
                                 RegKey* result) {
    if (!HandleOf(parent)) return kErrorInvalidHandle;
    const std::string path = PathOf(parent, subKey);
    if (const long code = Injected(Call::CreateKey, path)) return code;
    if (!Allowed(path, access)) return kErrorAccessDenied;
    MakeKey(path);
    *result = NewHandle(path, access);
    return kErrorSuccess;
}

long MemoryRegistry::OpenKeyEx(RegKey parent, const std::string& subKey, uint32_t access, RegKey* result) {
    if (!HandleOf(parent)) return kErrorInvalidHandle;
    const std::string path = PathOf(parent, subKey);
    if (const long code = Injected(Call::OpenKey, path)) return code;
    if (!HasKey(path)) return kErrorFileNotFound;
    if (!Allowed(path, access)) return kErrorAccessDenied;
    *result = NewHandle(path, access);
    return kErrorSuccess;
}

long MemoryRegistry::QueryValueEx(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                                  uint32_t* size) {
    const Handle* handle = HandleOf(key);
    if (!handle) return kErrorInvalidHandle;
    if (const long code = Injected(Call::QueryValue, name)) return code;
    if (!(handle->access & kKeyQueryValue)) return kErrorAccessDenied;
    const Value* value = FindValue(handle->path, name);
    if (!value) return kErrorFileNotFound;
    if (type) *type = value->type;
    const uint32_t needed = static_cast<uint32_t>(value->data.size());
    if (data && *size < needed) {
        *size = needed;
        return kErrorMoreData;
    }
    if (data) std::copy(value->data.begin(), value->data.end(), data);
    *size = needed;
    return kErrorSuccess;
}

long MemoryRegistry::SetValueEx(RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                                uint32_t size) {
    const Handle* handle = HandleOf(key);
    if (!handle) return kErrorInvalidHandle;
    if (const long code = Injected(Call::SetValue, name)) return code;
    if (!(handle->access & kKeySetValue)) return kErrorAccessDenied;
    Put(handle->path, name, type, std::vector<uint8_t>(data, data + size));
    writes.push_back(handle->path + "\\" + name);
    return kErrorSuccess;
}

long MemoryRegistry::DeleteValue(RegKey key, const std::string& name) {
    const Handle* handle = HandleOf(key);
    if (!handle) return kErrorInvalidHandle;
    if (const long code = Injected(Call::DeleteValue, name)) return code;
    if (!(handle->access & kKeySetValue)) return kErrorAccessDenied;
    if (!FindValue(handle->path, name)) return kErrorFileNotFound;
    Remove(handle->path, name);
    return kErrorSuccess;
}

long MemoryRegistry::CloseKey(RegKey key) {
    if (key == kHkeyCurrentUser) return kErrorSuccess;
    const Handle* handle = HandleOf(key);
    if (!handle) return kErrorInvalidHandle;
    if (const long code = Injected(Call::CloseKey, handle->path)) return code;
    handles_.erase(key);
    return kErrorSuccess;
}

void MemoryRegistry::Put(const std::string& path, const std::string& name, uint32_t type,
                         std::vector<uint8_t> data) {
    if (Value* value = FindValue(path, name)) {
        *value = {type, std::move(data)};
        return;
    }
    MakeKey(path).values.push_back({name, Value{type, std::move(data)}});
}

void MemoryRegistry::PutString(const std::string& path, const std::string& name, const std::string& text) {
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    Put(path, name, kRegSz, std::move(data));
}

void MemoryRegistry::PutDword(const std::string& path, const std::string& name, int32_t value) {
    std::vector<uint8_t> data(4);
    std::memcpy(data.data(), &value, 4);
    Put(path, name, kRegDword, std::move(data));
}

void MemoryRegistry::Remove(const std::string& path, const std::string& name) {
    const auto key = keys_.find(Lower(path));
    if (key == keys_.end()) return;
    auto& values = key->second.values;
    values.erase(std::remove_if(values.begin(), values.end(),
                                [&name](const auto& entry) { return SameText(entry.first, name); }),
                 values.end());
}

bool MemoryRegistry::HasKey(const std::string& path) const {
    return path.empty() || keys_.count(Lower(path)) > 0;
}

MemoryRegistry::Value* MemoryRegistry::FindValue(const std::string& path, const std::string& name) {
    return const_cast<Value*>(static_cast<const MemoryRegistry*>(this)->Find(path, name));
}

const MemoryRegistry::Value* MemoryRegistry::Find(const std::string& path, const std::string& name) const {
    const auto key = keys_.find(Lower(path));
    if (key == keys_.end()) return nullptr;
    for (const auto& [valueName, value] : key->second.values)
        if (SameText(valueName, name)) return &value;
    return nullptr;
}

std::optional<std::string> MemoryRegistry::String(const std::string& path, const std::string& name) const {
    const Value* value = Find(path, name);
    if (!value || value->type != kRegSz || value->data.empty() || value->data.back() != 0)
        return std::nullopt;
    return std::string(value->data.begin(), value->data.end() - 1);
}

std::optional<int32_t> MemoryRegistry::Dword(const std::string& path, const std::string& name) const {
    const Value* value = Find(path, name);
    if (!value || value->type != kRegDword || value->data.size() != 4) return std::nullopt;
    int32_t result;
    std::memcpy(&result, value->data.data(), 4);
    return result;
}

std::vector<std::string> MemoryRegistry::Names(const std::string& path) const {
    std::vector<std::string> names;
    const auto key = keys_.find(Lower(path));
    if (key == keys_.end()) return names;
    for (const auto& entry : key->second.values)
        names.push_back(entry.first);
    return names;
}

}  // namespace tavo::testing
