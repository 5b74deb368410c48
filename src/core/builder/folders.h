#pragma once
// The folders a desktop is built from, seen through a small file-system port so that the
// rules run without Windows. A folder may stand on more than one directory: the user's and
// the common desktop (or programs folder) show as one, as Windows shows them.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx::builder {

struct DirEntry {
    std::string name;
    bool folder = false;
};

class FolderSource {
public:
    virtual ~FolderSource() = default;
    // The entries of a directory in its listing order, without "." and ".."; nullopt when the
    // directory is not there.
    virtual std::optional<std::vector<DirEntry>> list(const std::string& directory) = 0;
    // A file's bytes, at most `limit` of them; nullopt when it cannot be read.
    virtual std::optional<std::string> read(const std::string& path, size_t limit) = 0;
};

// A folder as shown: its name and the directories it stands on, the one that wins first.
struct Folder {
    std::string name;
    std::vector<std::string> paths;
};

struct FolderItem {
    std::string name;
    bool folder = false;
    // A file: the one path that shows. A folder: every directory of that name, in the
    // order of the folder's own paths.
    std::vector<std::string> paths;
};

// Names compare as Windows compares file names, without letter case (shell::iequals).
bool same_name(std::string_view a, std::string_view b);
// The extension of a file name upper-cased with its dot (".LNK"), or empty.
std::string upper_extension(std::string_view name);
std::string without_extension(std::string_view name);

// The merged listing. Windows compares names without letter case: a name in more than one
// directory shows once, and the first directory's entry wins (the user's own over the
// common one). Folders of one name merge and keep every directory. Order: the first
// directory's listing, then what only the later ones hold, each in its listing order.
std::vector<FolderItem> list_folder(FolderSource& fs, const Folder& folder);

// Where the Windows desktop and the Start menu's program folder are. The folders under the
// Windows directory are taken where they exist; otherwise the known folders, the user's
// before the common one. Empty paths are left out.
struct KnownFolders {
    std::string user_desktop;
    std::string common_desktop;
    std::string user_programs;
    std::string common_programs;
};
struct WindowsFolders {
    Folder desktop;
    Folder programs;
};
WindowsFolders find_windows_folders(FolderSource& fs, std::string_view windows_directory,
                                    const KnownFolders& known);

// The address of an internet shortcut ("[InternetShortcut]" with "URL="); nullopt when the
// text holds none or one with control characters, which could not go on a command line.
std::optional<std::string> url_file_address(std::string_view text);
inline constexpr size_t kMaxUrlFileSize = 64 * 1024;

}  // namespace vx::builder
