// Picture file names: template expansion and numbered names claimed on disk.
#include "viewer/output_names.h"

#include <cstdio>
#include <regex>

#include "runtime/file_claim.h"

namespace {

const std::regex frame_placeholder(R"(\{frame(?::0([1-9]|1[0-9]|20))?\})");

}  // namespace

bool names_frames(const std::string& name) { return std::regex_search(name, frame_placeholder); }

std::string expand_name(const std::string& name_template, uint64_t frame, const std::string& model) {
    std::string out;
    const std::string number = std::to_string(frame);
    auto begin = std::sregex_iterator(name_template.begin(), name_template.end(), frame_placeholder);
    size_t copied = 0;
    for (auto it = begin; it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        out += name_template.substr(copied, static_cast<size_t>(m.position()) - copied);
        const size_t width = m[1].matched ? std::stoul(m[1].str()) : 0;
        if (number.size() < width) out.append(width - number.size(), '0');
        out += number;
        copied = static_cast<size_t>(m.position() + m.length());
    }
    out += name_template.substr(copied);
    for (size_t at = out.find("{model}"); at != std::string::npos; at = out.find("{model}", at + model.size())) {
        out.replace(at, 7, model);
    }
    return out;
}

std::string model_name_of(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot != 0) name.erase(dot);
    return name;
}

std::string claim_numbered_name(const std::string& name) {
    const std::string base = name.empty() ? "softcube.png" : name;
    const size_t slash = base.find_last_of('/');
    const size_t dot = base.find_last_of('.');
    const bool has_ext = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    const std::string stem = has_ext ? base.substr(0, dot) : base;
    const std::string ext = has_ext ? base.substr(dot) : "";
    for (int n = 1; n <= 9999; ++n) {
        char number[8];
        std::snprintf(number, sizeof number, "-%04d", n);
        const std::string candidate = stem + number + ext;
        switch (rt::claim_new_file(candidate)) {
            case rt::claim_result::claimed:
                return candidate;
            case rt::claim_result::taken:
                continue;
            case rt::claim_result::failed:
                return "";
        }
    }
    return "";
}
