// Switches the visual style (the theme manager's registry settings) on or
// off for programs started afterwards, and back as it was at the end.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

class ThemeScope {
public:
    explicit ThemeScope(bool active) {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_, nullptr))
            return;
        old_ = Read(L"ThemeActive");
        Write(L"ThemeActive", active ? L"1" : L"0");
        if (active && !Read(L"DllName")) {
            Write(L"DllName", L"C:\\windows\\resources\\themes\\light\\light.msstyles");
            Write(L"ColorName", L"Blue");
            Write(L"SizeName", L"NormalSize");
        }
    }
    ~ThemeScope() {
        if (!key_) return;
        if (old_)
            Write(L"ThemeActive", *old_);
        else
            RegDeleteValueW(key_, L"ThemeActive");
        RegCloseKey(key_);
    }
    ThemeScope(const ThemeScope&) = delete;
    ThemeScope& operator=(const ThemeScope&) = delete;

private:
    static constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";

    std::optional<std::wstring> Read(const wchar_t* name) const {
        wchar_t value[MAX_PATH] = {};
        DWORD size = sizeof value - sizeof(wchar_t);
        if (RegQueryValueExW(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size)) return std::nullopt;
        return std::wstring(value);
    }
    void Write(const wchar_t* name, const std::wstring& value) const {
        RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

    HKEY key_ = nullptr;
    std::optional<std::wstring> old_;
};
