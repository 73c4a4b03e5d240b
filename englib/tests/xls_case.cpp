#include "xls_case.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace kelva::eng::testing {

namespace {
std::string quote(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}
std::string number(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}
std::string list(const std::vector<std::string>& items) {
    std::string s = "[";
    for (size_t i = 0; i < items.size(); ++i) s += (i ? ", " : "") + items[i];
    return s + "]";
}
}  // namespace

std::filesystem::path xlsOutputFolder() {
    const std::filesystem::path d = "xls-out";
    std::filesystem::create_directories(d);
    return d;
}

XlsCase::XlsCase(const std::string& name) : path_(xlsOutputFolder() / (name + ".xls")), name_(name) {}

XlsCase::~XlsCase() {
    std::ostringstream j;
    j << "{\n \"file\": " << quote(path_.filename().string()) << ",\n \"absent\": " << (absent_ ? "true" : "false");
    j << ",\n \"cells\": " << list(cells_) << ",\n \"fonts\": " << list(fonts_) << ",\n \"flags\": " << list(flags_);
    std::vector<std::string> w, h, m, b;
    for (auto [c, v] : widths_) w.push_back("[" + std::to_string(c) + ", " + std::to_string(v) + "]");
    for (auto [r, v] : heights_) h.push_back("[" + std::to_string(r) + ", " + std::to_string(v) + "]");
    for (auto [o, v] : margins_) m.push_back("[" + std::to_string(o) + ", " + number(v) + "]");
    for (int r : breaks_) b.push_back(std::to_string(r));
    j << ",\n \"widths\": " << list(w) << ",\n \"heights\": " << list(h) << ",\n \"margins\": " << list(m);
    j << ",\n \"breaks\": " << list(b);
    j << ",\n \"default_height\": " << (defaultHeight_ ? std::to_string(*defaultHeight_) : "null");
    j << ",\n \"header\": " << (header_ ? quote(*header_) : "null");
    j << ",\n \"footer\": " << (footer_ ? quote(*footer_) : "null") << "\n}\n";
    std::ofstream(xlsOutputFolder() / (name_ + ".json")) << j.str();
}

void XlsCase::cell(int row, int col, double value, int font, int format, int align, int protection) {
    cells_.push_back("[" + std::to_string(row) + ", " + std::to_string(col) + ", \"number\", " + number(value) + ", " +
                     std::to_string(font) + ", " + std::to_string(format) + ", " + std::to_string(align) + ", " +
                     std::to_string(protection) + "]");
}
void XlsCase::text(int row, int col, const std::string& value, int font, int format, int align, int protection) {
    cells_.push_back("[" + std::to_string(row) + ", " + std::to_string(col) + ", \"text\", " + quote(value) + ", " +
                     std::to_string(font) + ", " + std::to_string(format) + ", " + std::to_string(align) + ", " +
                     std::to_string(protection) + "]");
}
void XlsCase::font(const std::string& name, int twips, int bits) {
    fonts_.push_back("[" + quote(name) + ", " + std::to_string(twips) + ", " + std::to_string(bits) + "]");
}
void XlsCase::columnWidth(int col, int width) { widths_[col] = width; }
void XlsCase::rowHeight(int row, int twips) { heights_[row] = twips; }
void XlsCase::defaultRowHeight(int twips) { defaultHeight_ = twips; }
void XlsCase::margin(int opcode, double inches) { margins_[opcode] = inches; }
void XlsCase::header(const std::string& s) { header_ = s; }
void XlsCase::footer(const std::string& s) { footer_ = s; }
void XlsCase::pageBreaks(std::vector<int> rows) { breaks_ = std::move(rows); }
void XlsCase::flag(int opcode, int value) { flags_.push_back("[" + std::to_string(opcode) + ", " + std::to_string(value) + "]"); }
void XlsCase::absent() { absent_ = true; }

}  // namespace kelva::eng::testing
