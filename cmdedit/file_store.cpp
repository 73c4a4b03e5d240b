#include "cmdedit/file_store.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <system_error>

#include "core/textcodec.h"

namespace kelva::cmd {
namespace fs = std::filesystem;

bool DiskFileStore::exists(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

std::optional<std::wstring> DiskFileStore::read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return decodeLenient(Codec::Cp949, bytes.str());
}

bool DiskFileStore::write(const fs::path& p, const std::wstring& text) {
    return writeFileAtomic(p, encodeLenient(Codec::Cp949, text));
}

void DiskFileStore::remove(const fs::path& p) {
    std::error_code ec;
    fs::remove(p, ec);
}

bool writeFileAtomic(const fs::path& p, const std::string& bytes) {
    static std::atomic<unsigned> counter{0};
    std::error_code ec;
    if (fs::is_directory(p, ec)) return false;
    fs::path temp = p;
    temp += L".tmp" + std::to_wstring(++counter);
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temp, ec);
            return false;
        }
    }
    fs::rename(temp, p, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return false;
    }
    return true;
}

}  // namespace kelva::cmd
