#include "setup/atomic_write.h"

#include <string>

namespace kelva::setup {

bool replaceFileContents(FileStore& files, std::wstring_view path, std::string_view bytes, std::wstring_view backup) {
    const std::wstring temp = files.tempNameBeside(path);
    if (!files.writeNew(temp, bytes)) {
        files.remove(temp);
        return false;
    }
    if (!files.isFile(path)) {
        if (files.rename(temp, path)) return true;
        files.remove(temp);
        return false;
    }
    if (files.replace(path, temp, backup)) return true;
    // A replace that failed half way may have moved the old file to the backup name already.
    if (!files.isFile(path) && files.isFile(backup)) files.rename(backup, path);
    files.remove(temp);
    return false;
}

}  // namespace kelva::setup
