// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// What the save-fault tests need done on the Windows side, beside the program under test and in
// the same Wine:
//
//   file_helper hold FILE [MS]   keeps FILE open, sharing it with no one, as a virus scanner or
//                                the game would; prints "held" once it does. With MS it lets go
//                                MS milliseconds after a name first changes in FILE's folder
//                                (the save has begun), else when its standard input ends.
//   file_helper hide FILE        sets FILE's hidden attribute
//   file_helper hidden FILE      exit status 0 when FILE is hidden, 1 when not
//   file_helper clipboard        prints the clipboard's text (what Ctrl+C took from a box)
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <windows.h>

namespace {

int fail(const char* what)
{
    std::fprintf(stderr, "file_helper: %s failed (error %lu)\n", what, ::GetLastError());
    return 2;
}

std::wstring folderOf(const std::wstring& file)
{
    const auto slash = file.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : file.substr(0, slash);
}

int hold(const std::wstring& file, const wchar_t* ms)
{
    const HANDLE held = ::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        return fail("opening the file");
    }
    if (ms != nullptr) {
        const HANDLE folder =
            ::CreateFileW(folderOf(file).c_str(), FILE_LIST_DIRECTORY,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (folder == INVALID_HANDLE_VALUE) {
            return fail("opening the folder");
        }
        std::puts("held");
        std::fflush(stdout);
        alignas(DWORD) char changes[4096];
        DWORD size = 0;
        if (!::ReadDirectoryChangesW(folder, changes, sizeof changes, FALSE,
                                     FILE_NOTIFY_CHANGE_FILE_NAME, &size, nullptr, nullptr)) {
            return fail("watching the folder");
        }
        ::Sleep(static_cast<DWORD>(std::wcstoul(ms, nullptr, 10)));
    } else {
        std::puts("held");
        std::fflush(stdout);
        char byte = 0;
        DWORD read = 0;
        while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &read, nullptr) && read > 0) {
        }
    }
    ::CloseHandle(held);
    return 0;
}

int clipboard()
{
    if (!::OpenClipboard(nullptr)) {
        return fail("opening the clipboard");
    }
    const HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    const auto* text = data != nullptr ? static_cast<const wchar_t*>(::GlobalLock(data)) : nullptr;
    if (text == nullptr) {
        ::CloseClipboard();
        return fail("reading the clipboard");
    }
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    ::GlobalUnlock(data);
    ::CloseClipboard();
    std::fputs(utf8.c_str(), stdout);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t* argv[])
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"clipboard") {
        return clipboard();
    }
    if (argc < 3) {
        std::fputs("usage: file_helper hold FILE [MS] | hide FILE | hidden FILE | clipboard\n",
                   stderr);
        return 2;
    }
    const std::wstring file = argv[2];
    if (command == L"hold") {
        return hold(file, argc > 3 ? argv[3] : nullptr);
    }
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return fail("reading the attributes");
    }
    if (command == L"hide") {
        return ::SetFileAttributesW(file.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN)
                   ? 0
                   : fail("hiding the file");
    }
    if ((attributes & FILE_ATTRIBUTE_HIDDEN) == 0) {
        std::fputs("the file is not hidden\n", stderr);
        return 1;
    }
    return 0;
}
