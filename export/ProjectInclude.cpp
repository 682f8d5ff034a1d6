#include "export/ProjectInclude.h"

namespace verdo {

namespace {

constexpr const char* LineEnd = "\r\n";

std::string Line(const std::string& text) { return text + LineEnd; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string ComposeProjectInclude(const ProjectIncludeValues& v) {
    const std::string& p = v.ProjectBase;
    std::string text;
    text += Line("-- VERDO 2.0 Project File");
    text += Line("#message " + Quoted("Loading VERDO 2.0 Project file..."));
    // The host language's own quote bytes; an apostrophe would not be understood.
    text += Line("#if \x91%system \x92=win32 #then");
    if (v.IncrementsConfigured) {
        text += Line("  -- AutoInc");
        text += Line("  #message " + Quoted("Calling VERDO 2.0 to AutoInc..."));
        text += Line("  #run " + Quoted(v.ShortProgramFile + " " + std::to_string(v.ProjectNumber)));
        text += Line("");
    }
    text += Line("  -- Link in the following RES file: " + p + ".RES");
    text += Line("  #message " + Quoted("Linking the " + p + ".RES file into the APP..."));
    text += Line("  #pragma link(" + v.ShortResFile + ")");
    text += Line("#else");
    text += Line("  #message " + Quoted("***ERROR*** VERDO 2.0 will not work with 16bit applications."));
    text += Line("  #message " + Quoted("Link of " + p + ".RES has been aborted."));
    text += Line("#endif");
    text += Line("");
    return text;
}

}  // namespace verdo
