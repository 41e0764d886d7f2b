#include "support/FakeTool.h"

#include "support/FileProbe.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tidra::test {
namespace {

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<std::string> splitNul(const std::string& data) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = data.find('\0', start)) != std::string::npos; start = end + 1)
        parts.push_back(data.substr(start, end - start));
    return parts;
}

} // namespace

FakeTool::FakeTool(std::string path, Answer answer) : path_(std::move(path)), records_(path_ + ".calls") {
    ::mkdir(records_.c_str(), 0777);
    ::chmod(records_.c_str(), 0777);
    writeFile(path_ + ".stdout", answer.standardOutput);
    writeFile(path_ + ".stderr", answer.standardError);
    std::ostringstream script;
    script << "#!/bin/sh\n";
    if (answer.ignoreTerm) script << "trap '' TERM\n";
    script << "record=\"" << records_ << "/$(date +%s%N).$$\"\n"
           << "printf '%s\\0' \"$@\" > \"$record.args\"\n"
           << "env -0 > \"$record.env\"\n";
    if (answer.sleepSeconds > 0) script << "sleep " << answer.sleepSeconds << "\n";
    script << "cat \"" << path_ << ".stdout\"\n"
           << "cat \"" << path_ << ".stderr\" >&2\n"
           << "exit " << answer.exitStatus << "\n";
    writeFile(path_, script.str());
    ::chmod(path_.c_str(), 0755);
}

std::vector<std::string> FakeTool::recordFiles(const std::string& suffix) const {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(records_.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() > suffix.size() && name.ends_with(suffix)) names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    for (auto& name : names) name = records_ + "/" + name;
    return names;
}

std::vector<std::vector<std::string>> FakeTool::calls() const {
    std::vector<std::vector<std::string>> out;
    for (const auto& file : recordFiles(".args")) out.push_back(splitNul(readFile(file)));
    return out;
}

std::vector<std::string> FakeTool::arguments() const {
    auto all = calls();
    return all.empty() ? std::vector<std::string>{} : all.back();
}

std::map<std::string, std::string> FakeTool::environment() const {
    std::map<std::string, std::string> env;
    const auto files = recordFiles(".env");
    if (files.empty()) return env;
    for (const auto& line : splitNul(readFile(files.back()))) {
        const auto eq = line.find('=');
        if (eq != std::string::npos) env[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return env;
}

FakeTool::Answer reply(std::string out, int status, std::string err) {
    FakeTool::Answer answer;
    answer.standardOutput = std::move(out);
    answer.standardError = std::move(err);
    answer.exitStatus = status;
    return answer;
}

} // namespace tidra::test
