#include <cstdio>
#include <string>

#include "export/JsonText.h"
#include "export/outputs/OutputFormat.h"
#include "runtime/text/Text.h"

namespace verdo {

namespace {

std::string Parts(const VersionParts& parts) {
    return "[" + std::to_string(parts[0]) + ", " + std::to_string(parts[1]) + ", " + std::to_string(parts[2]) + ", " +
           std::to_string(parts[3]) + "]";
}

std::string DateText(const Date& date) { return date.IsEmpty() ? "null" : "\"" + IsoDate(date) + "\""; }

std::string TimeText(const Time& time) {
    if (time.IsEmpty()) return "null";
    char hundredths[8];
    std::snprintf(hundredths, sizeof hundredths, ".%02u", static_cast<unsigned>(time.Hundredths));
    return "\"" + IsoTime(time) + hundredths + "\"";
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "\"0x%0*X\"", digits, value);
    return text;
}

// A code with the name its lookup table gives it.
std::string Coded(const std::string& code, const std::string& name) {
    return "{\"code\": " + code + ", \"name\": " + JsonString(name) + "}";
}

}  // namespace

std::string ComposeJson(const VersionValues& v, const OutputOptions&) {
    std::string text = "{\n";
    auto field = [&text](const char* key, const std::string& value, bool last = false) {
        text += std::string("  \"") + key + "\": " + value + (last ? "\n" : ",\n");
    };
    field("project", std::to_string(v.Project));
    field("name", JsonString(v.Name));
    field("path", JsonString(v.Path));
    field("resource_file", JsonUtf8(v.ResourceFile));
    field("file_version", "\"" + VersionString(v.FileVersion) + "\"");
    field("product_version", "\"" + VersionString(v.ProductVersion) + "\"");
    field("file_version_parts", Parts(v.FileVersion));
    field("product_version_parts", Parts(v.ProductVersion));
    std::string strings = "{";
    for (size_t i = 0; i < v.Standard.size(); ++i)
        strings += (i ? ", " : "") + JsonString(v.Standard[i].Key) + ": " + JsonString(v.Standard[i].Value);
    field("strings", strings + "}");
    std::string extras = "[";
    for (size_t i = 0; i < v.Extras.size(); ++i)
        extras += std::string(i ? ", " : "") + "{\"name\": " + JsonString(v.Extras[i].Key) +
                  ", \"value\": " + JsonString(v.Extras[i].Value) + "}";
    field("extra_strings", extras + "]");
    // The flags as the resource file sets them.
    field("debug", v.FileFlags & 1 ? "true" : "false");
    field("prerelease", v.FileFlags & 2 ? "true" : "false");
    field("file_flags", Hex(v.FileFlags, 8));
    field("file_os", Coded(Hex(v.FileOS, 8), v.FileOSName));
    field("file_type", Coded(Hex(v.FileType, 2), v.FileTypeName));
    field("language", Coded(JsonString(v.Language), v.LanguageName));
    field("code_page", Coded(JsonString(v.CodePage), v.CodePageName));
    field("enter_date", DateText(v.EnterDate));
    field("last_saved", DateText(v.LastSaved));
    field("export_date", DateText(v.ExportDate));
    field("export_time", TimeText(v.ExportTime));
    field("file_version_steps", Parts(v.FileSteps));
    field("product_version_steps", Parts(v.ProductSteps));
    field("next_file_version", "\"" + VersionString(v.NextFileVersion) + "\"");
    field("next_product_version", "\"" + VersionString(v.NextProductVersion) + "\"", true);
    return text + "}\n";
}

}  // namespace verdo
