#pragma once
// One sheet written by a test, with a description of what an independent reader must find in it.
// The description goes beside the sheet as JSON; xlrd_check.py compares the two after the tests.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kelva::eng::testing {

std::filesystem::path xlsOutputFolder();

class XlsCase {
public:
    explicit XlsCase(const std::string& name);
    ~XlsCase();  // writes the description
    const std::filesystem::path& path() const { return path_; }

    // Rows and columns 0-based, as the reader gives them.
    void cell(int row, int col, double value, int font = 0, int format = 0, int align = 0, int protection = 0);
    void text(int row, int col, const std::string& value, int font = 0, int format = 0, int align = 0, int protection = 0);
    void font(const std::string& name, int twips, int bits);
    void columnWidth(int col, int width);
    void rowHeight(int row, int twips);
    void defaultRowHeight(int twips);
    void margin(int opcode, double inches);
    void header(const std::string& s);
    void footer(const std::string& s);
    void pageBreaks(std::vector<int> rows);
    void flag(int opcode, int value);  // PRINTGRIDLINES / PROTECT, in order of writing
    void absent();                      // the file must not exist

private:
    std::filesystem::path path_;
    std::string name_;
    std::vector<std::string> cells_, fonts_, flags_;
    std::map<int, int> widths_, heights_;
    std::map<int, double> margins_;
    std::optional<int> defaultHeight_;
    std::optional<std::string> header_, footer_;
    std::vector<int> breaks_;
    bool absent_ = false;
};

}  // namespace kelva::eng::testing
