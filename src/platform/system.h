#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

#if defined(_WIN32)
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif
// Room for the longest path the file system takes (4 096 bytes on Linux; Windows' ANSI file
// functions take fewer) and its terminator: the capacity every configured path is read with.
constexpr int kPathCapacity = 4097;

// A configured path as the file system needs it. On Linux a backslash is read as the
// separator, and a leading drive ("c:") stands for DataFolder(); on Windows paths are used
// as they are written.
std::string NativePath(const std::string& path);
// Where set-up puts the voice data: $VERANTO_DATA, else $XDG_DATA_HOME/veranto, else
// ~/.local/share/veranto (the win32 backend: the program's folder, where the package
// unpacks it). Never ends with a separator unless it is the root.
std::string DataFolder();
// Makes `folder` the data folder from now on, whatever the environment says (fala's --data).
void SetDataFolder(const std::string& folder);
// The name the file system knows a configured path by: NativePath, in UTF-8 on Linux (the
// ANSI bytes themselves on Windows). Every file the program opens goes through it, so names
// with accented letters are found.
std::string FileSystemName(const std::string& path);
// The Windows-1252 text of a name as the file system or the environment gives it.
std::string FileNameText(const std::string& name);

// A command-line program's arguments after its name, in UTF-8, with its terminal set to read
// and write UTF-8 (on Windows: the console's code page 65001 and the wide command line).
std::vector<std::string> TerminalProgramArguments(int argc, char** argv);

// The full path of the program file, in Windows-1252.
std::string ProgramPath();

// The folder that holds VERANTO.INI: $VERANTO_WINDIR, else $XDG_CONFIG_HOME/veranto, else
// ~/.config/veranto (the win32 backend: GetWindowsDirectoryA). Never ends with a separator
// unless it is the root.
std::string WindowsFolder();
// The path of the file `name` in the Windows folder. Windows finds its files whatever the case
// of their names, so a file copied from there may be "veranto.ini": when no file has exactly
// that name, the first (in byte order) whose name differs only in case; else the exact name.
// On Windows, whose file names ignore case, a file that is not in the Windows folder is taken
// from beside the program when it is there, so an unpacked package runs as it is.
std::string WindowsFolderFile(const std::string& name);
std::string CurrentFolder();
// A path relative to the current folder as the same place seen from anywhere (the current
// folder put in front); a path that starts at a root or a drive as it is.
std::string AbsolutePath(const std::string& path);
bool SetCurrentFolder(const std::string& folder);
bool FileExists(const std::string& path);

// GetPrivateProfileStringA: `file` without a separator is looked up in the Windows folder.
// Sections and keys match without regard to case; the value is trimmed of blanks and of one
// pair of surrounding quotes; `fallback` when the file, section or key is absent. The result
// holds at most capacity - 1 characters.
std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& fallback, int capacity,
                              const std::string& file);

// A string value of the registry (RegOpenKeyExA + RegQueryValueExA under HKEY_LOCAL_MACHINE):
// false when the key or value is absent. Linux has no registry: the sdl backend answers false;
// the sim backend answers what the test scripted.
bool ReadRegistryString(const std::string& key, const std::string& valueName, std::string& value);

// Dynamic libraries (LoadLibraryA, GetProcAddress, FreeLibrary): a handle, or nullptr when
// the library cannot be loaded or has no such symbol.
void* LoadDynamicLibrary(const std::string& name);
void* FindLibrarySymbol(void* library, const char* name);
void FreeDynamicLibrary(void* library);

// A modal message box; returns when the user has dismissed it.
void MessageBox(const std::string& title, const std::string& text);

// Starts the component services (COM) for the program's thread, once at program start; the
// system speech services need them. Linux has none: the sdl backend does nothing; the sim
// backend counts the calls.
void StartComponentServices();

void Sleep(int milliseconds);
std::int64_t ClockMilliseconds();

// Ends the program with `exitCode` after the registered end-of-program handler has run.
[[noreturn]] void ExitProgram(int exitCode);
// The handler run once by ExitProgram and at normal return from main (the exit procedure).
void SetEndOfProgramHandler(void (*handler)());

}  // namespace platform
