#include "tools/DataDir.h"

#include <fstream>

namespace fs = std::filesystem;

namespace tools {

namespace {

// An argument of the Exec key, quoted by the desktop entry rules: inside
// quotes ", `, $ and \ take a backslash, and the key's string value doubles
// every backslash once more; % is doubled because it starts field codes.
std::string execArgument(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '`' || c == '$')
            quoted += "\\\\";
        if (c == '\\')
            quoted += "\\\\\\";
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    return quoted + "\"";
}

// A plain string value: backslashes doubled, no line breaks.
std::string stringValue(const std::string& text)
{
    std::string value;
    for (char c : text) {
        if (c == '\\')
            value += '\\';
        if (c == '\n' || c == '\r')
            continue;
        value += c;
    }
    return value;
}

} // namespace

fs::path writeAutostartEntry(const fs::path& workdir, const fs::path& program)
{
    const fs::path absoluteWorkdir = fs::absolute(workdir).lexically_normal();
    const fs::path entry = absoluteWorkdir / kAutostartEntryName;
    if (fs::exists(entry))
        return entry;
    const std::string command = program.has_parent_path()
                                    ? execArgument(fs::absolute(program).lexically_normal().string())
                                    : execArgument(program.string());
    fs::create_directories(absoluteWorkdir);
    std::ofstream out(entry, std::ios::binary);
    out << "[Desktop Entry]\n"
        << "Type=Application\n"
        << "Name=Pelmir a telefony\n"
        << "Comment=Adresář, jmeniny, plánovač a poznámky\n"
        << "Exec=" << command << " --workdir " << execArgument(absoluteWorkdir.string()) << '\n'
        << "Path=" << stringValue(absoluteWorkdir.string()) << '\n'
        << "Terminal=false\n"
        << "X-GNOME-Autostart-enabled=true\n";
    out.close();
    if (!out)
        throw DataDirError("cannot write " + entry.string());
    return entry;
}

} // namespace tools
