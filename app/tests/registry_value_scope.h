// Sets a registry key's default value for the programs a test starts, and
// puts back what was there at the end: the old value, or no keys at all
// where the test had to make them. Always the 64-bit view, which the
// desktop shell of a 64-bit Windows reads.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "common/win32_handles.h"

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Release(Handle h) { RegCloseKey(h); }
};
using RegistryKey = win32::Unique<RegistryKeyTraits>;

class DefaultValueScope {
public:
    DefaultValueScope(HKEY root, const std::wstring& path, const std::wstring& value) : root_(root) {
        // The shallowest missing key is the one to remove at the end.
        for (size_t end = path.find(L'\\');; end = path.find(L'\\', end + 1)) {
            const std::wstring prefix = path.substr(0, end);
            if (!Open(prefix, KEY_READ)) {
                made_ = prefix;
                break;
            }
            if (end == std::wstring::npos) break;
        }
        HKEY created = nullptr;
        if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, kAccess, nullptr, &created, nullptr)) return;
        key_.reset(created);
        if (made_.empty()) old_ = Read();
        Write(value);
    }
    ~DefaultValueScope() {
        if (!key_) return;
        if (!made_.empty()) {
            key_.reset();
            if (RegistryKey made = Open(made_, kAccess)) RegDeleteTreeW(made.get(), nullptr);
            RegDeleteKeyExW(root_, made_.c_str(), KEY_WOW64_64KEY, 0);
        } else if (old_) {
            Write(*old_);
        } else {
            RegDeleteValueW(key_.get(), nullptr);
        }
    }
    DefaultValueScope(const DefaultValueScope&) = delete;
    DefaultValueScope& operator=(const DefaultValueScope&) = delete;

private:
    static constexpr REGSAM kAccess = KEY_READ | KEY_WRITE | DELETE | KEY_WOW64_64KEY;

    RegistryKey Open(const std::wstring& path, REGSAM access) const {
        HKEY opened = nullptr;
        if (RegOpenKeyExW(root_, path.c_str(), 0, access | KEY_WOW64_64KEY, &opened)) return {};
        return RegistryKey(opened);
    }
    std::optional<std::wstring> Read() const {
        wchar_t value[1024] = {};
        DWORD size = sizeof value - sizeof(wchar_t);
        if (RegQueryValueExW(key_.get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size))
            return std::nullopt;
        return std::wstring(value);
    }
    void Write(const std::wstring& value) const {
        RegSetValueExW(key_.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

    HKEY root_;
    RegistryKey key_;
    std::wstring made_;
    std::optional<std::wstring> old_;
};
