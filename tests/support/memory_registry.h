// An in-memory registry under HKEY_CURRENT_USER that can make any single call fail.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/registry.h"

namespace tavo::testing {

class MemoryRegistry : public Registry {
public:
    enum class Call { CreateKey, OpenKey, QueryValue, SetValue, DeleteValue, CloseKey };

    struct Value {
        uint32_t type = kRegNone;
        std::vector<uint8_t> data;
    };

    long CreateKeyEx(RegKey parent, const std::string& subKey, uint32_t options, uint32_t access,
                     RegKey* result) override;
    long OpenKeyEx(RegKey parent, const std::string& subKey, uint32_t access, RegKey* result) override;
    long QueryValueEx(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                      uint32_t* size) override;
    long SetValueEx(RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                    uint32_t size) override;
    long DeleteValue(RegKey key, const std::string& name) override;
    long CloseKey(RegKey key) override;

    // One later call of `kind` fails with `code`: the first after `skip` calls whose
    // target equals `target` without regard to case (empty: any call). The target is
    // the full key path for create, open and close, the value name otherwise. It fails
    // `times` calls in a row (-1: every later one).
    void Fail(Call kind, const std::string& target = "", int skip = 0, long code = kErrorAccessDenied,
              int times = 1);
    void ClearFailures() { failures_.clear(); }
    // The account may open the key at `path` with no rights but `allowed`: asking for more is refused.
    void Restrict(const std::string& path, uint32_t allowed);

    // Paths are full paths below HKEY_CURRENT_USER.
    void Put(const std::string& path, const std::string& name, uint32_t type, std::vector<uint8_t> data);
    void PutString(const std::string& path, const std::string& name, const std::string& text);
    void PutDword(const std::string& path, const std::string& name, int32_t value);
    void Remove(const std::string& path, const std::string& name);
    bool HasKey(const std::string& path) const;
    const Value* Find(const std::string& path, const std::string& name) const;
    // A REG_SZ value's text without its terminating NUL; nothing for any other value.
    std::optional<std::string> String(const std::string& path, const std::string& name) const;
    std::optional<int32_t> Dword(const std::string& path, const std::string& name) const;
    // The value names of a key in the order they were first written.
    std::vector<std::string> Names(const std::string& path) const;
    int OpenHandles() const { return static_cast<int>(handles_.size()); }
    int Calls(Call kind) const;

    // "path\name" of every successful write, in order.
    std::vector<std::string> writes;

private:
    struct Key {
        std::vector<std::pair<std::string, Value>> values;
    };
    struct Handle {
        std::string path;
        uint32_t access = 0;
    };
    struct Failure {
        Call kind;
        std::string target;
        int skip;
        long code;
        int times;
    };

    long Injected(Call kind, const std::string& target);
    bool Allowed(const std::string& path, uint32_t access) const;
    const Handle* HandleOf(RegKey key) const;
    std::string PathOf(RegKey parent, const std::string& subKey) const;
    RegKey NewHandle(const std::string& path, uint32_t access);
    Key& MakeKey(const std::string& path);
    Value* FindValue(const std::string& path, const std::string& name);

    std::map<std::string, Key> keys_;  // by lower-cased path
    std::map<RegKey, Handle> handles_;
    std::vector<Failure> failures_;
    std::map<std::string, uint32_t> allowed_;  // by lower-cased path
    std::map<Call, int> calls_;
    RegKey nextHandle_ = 0x1000;
};

}  // namespace tavo::testing
