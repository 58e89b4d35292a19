// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// What the save-fault tests need done on the Windows side that Wine's own tools (attrib) and
// xclip cannot do, beside the program under test and in the same Wine:
//
//   file_helper hold FILE [MS]   keeps FILE open, sharing it with no one, as a virus scanner or
//                                the game would; prints "held" once it does. With MS it lets go
//                                MS milliseconds after a name first changes in FILE's folder
//                                (the save has begun), else when its standard input ends.
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

} // namespace

int wmain(int argc, wchar_t* argv[])
{
    if (argc < 3 || std::wstring(argv[1]) != L"hold") {
        std::fputs("usage: file_helper hold FILE [MS]\n", stderr);
        return 2;
    }
    return hold(argv[2], argc > 3 ? argv[3] : nullptr);
}
