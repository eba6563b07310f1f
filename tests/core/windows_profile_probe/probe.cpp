// Asks the Windows profile functions what they make of one key, to learn what Windows reads from
// a settings file and what it leaves after a write. Not part of the test run: the expected bytes
// learnt with it are kept in tests/core/test_profile_file.cpp. Built and run under Wine:
//   x86_64-w64-mingw32-g++ -O1 -static -o probe.exe probe.cpp
//   WINEPREFIX=/tmp/probe-prefix wine64 probe.exe readA 'Z:\tmp\x.ini' GENERAL EXPORT_MODE 0
// (wine64 is /usr/lib/wine/wine64 on Debian). Mind that Wine is not Windows everywhere: it
// rewrites the whole file on a write (blank lines dropped, CR LF line ends), where Windows keeps
// the other lines as they were.
//
// probe readA|readW|writeA|writeW FILE SECTION KEY TEXT
// TEXT is the default of a read or the value of a write; read results are printed as UTF-8
// between brackets.
#include <cstdio>
#include <string>
#include <windows.h>

// A backslash, "u" and four hex digits in TEXT stand for that character: Wine hands the command
// line over in the ANSI code page, which cannot carry every character.
static std::wstring unescape(const std::wstring& w) {
    std::wstring out;
    for (size_t i = 0; i < w.size(); ++i) {
        if (w[i] == L'\\' && i + 5 < w.size() && w[i + 1] == L'u') {
            out += static_cast<wchar_t>(
                std::stoi(std::string(w.begin() + i + 2, w.begin() + i + 6), nullptr, 16));
            i += 5;
        } else
            out += w[i];
    }
    return out;
}
static std::wstring wide(const char* utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, w.data(), n);
    w.resize(n - 1);
    return w;
}
static std::string utf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
    s.resize(n - 1);
    return s;
}
static std::string ansi(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
    s.resize(n - 1);
    return s;
}
static std::wstring fromAnsi(const char* a) {
    int n = MultiByteToWideChar(CP_ACP, 0, a, -1, nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, a, -1, w.data(), n);
    w.resize(n - 1);
    return w;
}

int main(int argc, char** argv) {
    if (argc != 6)
        return 2;
    std::string mode = argv[1];
    std::wstring file = wide(argv[2]), section = wide(argv[3]), key = wide(argv[4]),
                 text = unescape(wide(argv[5]));
    if (mode == "readW") {
        wchar_t buffer[4096];
        GetPrivateProfileStringW(section.c_str(), key.c_str(), text.c_str(), buffer, 4096,
                                 file.c_str());
        std::printf("[%s]\n", utf8(buffer).c_str());
    } else if (mode == "readA") {
        char buffer[4096];
        GetPrivateProfileStringA(ansi(section).c_str(), ansi(key).c_str(), ansi(text).c_str(),
                                 buffer, 4096, ansi(file).c_str());
        std::printf("[%s]\n", utf8(fromAnsi(buffer)).c_str());
    } else if (mode == "writeW") {
        if (!WritePrivateProfileStringW(section.c_str(), key.c_str(), text.c_str(), file.c_str()))
            return 1;
    } else if (mode == "writeA") {
        if (!WritePrivateProfileStringA(ansi(section).c_str(), ansi(key).c_str(),
                                        ansi(text).c_str(), ansi(file).c_str()))
            return 1;
    } else
        return 2;
    return 0;
}
