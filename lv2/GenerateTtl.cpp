// Writes the bundle's description from the parameter table and the factory presets:
//   lv2_ttl BUNDLE_DIR DSP_BINARY [UI_BINARY]
// (binary names relative to the bundle; without a UI binary the description names no UI).
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "lv2/FactoryPresets.h"
#include "lv2/Lv2Ports.h"
#include "plugin/Bleepifier.h"

using namespace tanuvo::sound;
using namespace tanuvo::sound::lv2;

namespace {

const char* const kPrefixes =
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix opts:  <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n\n";

// A Turtle decimal: always with a point, never an exponent for the values here.
std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.6f", static_cast<double>(value));
    std::string s = text;
    while (s.size() > 1 && s.back() == '0' && s[s.size() - 2] != '.') {
        s.pop_back();
    }
    return s;
}

std::string presetUri(const FactoryPreset& preset) {
    return std::string(kPluginUri) + "#preset-" + preset.symbol;
}

void writeControlPort(std::ostream& out, const vst::ParameterInfo& param) {
    out << "    [\n"
        << "        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << controlPort(param.index) << " ;\n"
        << "        lv2:symbol \"" << param.symbol << "\" ;\n"
        << "        lv2:name \"" << param.name << "\" ;\n"
        << "        lv2:default " << number(vst::fromNormalised(param, param.defaultValue))
        << " ;\n"
        << "        lv2:minimum " << number(param.minimum) << " ;\n"
        << "        lv2:maximum " << number(param.maximum);
    switch (param.unit) {
        case vst::ParameterUnit::Toggle:
            out << " ;\n        lv2:portProperty lv2:toggled";
            break;
        case vst::ParameterUnit::Choice:
            out << " ;\n        lv2:portProperty lv2:integer , lv2:enumeration";
            break;
        case vst::ParameterUnit::Percent:
            out << " ;\n        units:unit units:pc";
            break;
        case vst::ParameterUnit::Fraction:
            break;
    }
    for (int i = 0; i < param.scalePointCount; ++i) {
        out << (i == 0 ? " ;\n        lv2:scalePoint " : " ,\n            ") << "[ rdfs:label \""
            << param.scalePoints[i].label << "\" ; rdf:value " << number(param.scalePoints[i].value)
            << " ]";
    }
    out << "\n    ]";
}

std::string pluginDescription(const std::string& dsp, const std::string& uiBinary) {
    std::ostringstream out;
    out << kPrefixes;
    out << "<" << kPluginUri << ">\n"
        << "    a lv2:Plugin , lv2:SpectralPlugin , doap:Project ;\n"
        << "    doap:name \"Bleepifier\" ;\n"
        // Hosts show the maintainer's name as the plug-in's maker; the VST edition's vendor.
        << "    doap:maintainer [ foaf:name \"Tanuvo Soft\" ] ;\n"
        << "    rdfs:comment \"Follows the pitch of a voice or instrument and plays it back as a "
           "chip sound.\" ;\n"
        << "    lv2:minorVersion 0 ;\n"
        << "    lv2:microVersion 0 ;\n"
        << "    lv2:binary <" << dsp << "> ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable , opts:options , urid:map ;\n"
        << "    lv2:extensionData opts:interface ;\n"
        << "    opts:supportedOption bufsz:nominalBlockLength , bufsz:maxBlockLength ;\n";
    if (!uiBinary.empty()) {
        out << "    ui:ui <" << kUiUri << "> ;\n";
    }
    out << "    lv2:port [\n"
        << "        a lv2:InputPort , lv2:AudioPort ;\n"
        << "        lv2:index " << kAudioIn << " ;\n"
        << "        lv2:symbol \"in\" ;\n"
        << "        lv2:name \"In\"\n"
        << "    ] , [\n"
        << "        a lv2:OutputPort , lv2:AudioPort ;\n"
        << "        lv2:index " << kAudioOutLeft << " ;\n"
        << "        lv2:symbol \"out_left\" ;\n"
        << "        lv2:name \"Out Left\"\n"
        << "    ] , [\n"
        << "        a lv2:OutputPort , lv2:AudioPort ;\n"
        << "        lv2:index " << kAudioOutRight << " ;\n"
        << "        lv2:symbol \"out_right\" ;\n"
        << "        lv2:name \"Out Right\"\n"
        << "    ] ,\n";
    for (const vst::ParameterInfo& param : vst::kParameters) {
        writeControlPort(out, param);
        out << " ,\n";
    }
    out << "    [\n"
        << "        a lv2:OutputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << kLatency << " ;\n"
        << "        lv2:symbol \"latency\" ;\n"
        << "        lv2:name \"Latency\" ;\n"
        << "        lv2:designation lv2:latency ;\n"
        << "        lv2:portProperty lv2:reportsLatency , lv2:integer ;\n"
        << "        units:unit units:frame ;\n"
        << "        lv2:minimum 0 ;\n"
        << "        lv2:maximum " << vst::Bleepifier::kMaxBlockSize << "\n"
        << "    ] .\n";
    if (!uiBinary.empty()) {
        out << "\n<" << kUiUri << ">\n"
            << "    a ui:X11UI ;\n"
            << "    ui:binary <" << uiBinary << "> ;\n"
            << "    lv2:requiredFeature ui:idleInterface , ui:parent ;\n"
            << "    lv2:optionalFeature ui:resize , ui:touch ;\n"
            << "    lv2:extensionData ui:idleInterface .\n";
    }
    return out.str();
}

std::string presetDescriptions() {
    std::ostringstream out;
    out << kPrefixes;
    for (int p = 0; p < kFactoryPresetCount; ++p) {
        const FactoryPreset& preset = kFactoryPresets[p];
        out << "<" << presetUri(preset) << ">\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo <" << kPluginUri << "> ;\n"
            << "    rdfs:label \"" << preset.label << "\" ;\n"
            << "    lv2:port ";
        for (int i = 0; i < vst::kNumParams; ++i) {
            out << (i == 0 ? "" : " , ") << "[\n        lv2:symbol \"" << vst::kParameters[i].symbol
                << "\" ;\n        pset:value " << number(preset.values[i]) << "\n    ]";
        }
        out << " .\n\n";
    }
    return out.str();
}

std::string manifest(const std::string& dsp, const std::string& uiBinary) {
    std::ostringstream out;
    out << kPrefixes;
    out << "<" << kPluginUri << ">\n"
        << "    a lv2:Plugin ;\n"
        << "    lv2:binary <" << dsp << "> ;\n"
        << "    rdfs:seeAlso <Bleepifier.ttl> .\n\n";
    if (!uiBinary.empty()) {
        out << "<" << kUiUri << ">\n"
            << "    a ui:X11UI ;\n"
            << "    ui:binary <" << uiBinary << "> ;\n"
            << "    rdfs:seeAlso <Bleepifier.ttl> .\n\n";
    }
    for (int p = 0; p < kFactoryPresetCount; ++p) {
        out << "<" << presetUri(kFactoryPresets[p]) << ">\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo <" << kPluginUri << "> ;\n"
            << "    rdfs:seeAlso <presets.ttl> .\n\n";
    }
    return out.str();
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file) {
        std::fprintf(stderr, "lv2_ttl: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: lv2_ttl BUNDLE_DIR DSP_BINARY [UI_BINARY]\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const std::string dsp = argv[2];
    const std::string uiBinary = argc == 4 ? argv[3] : "";
    const bool ok = writeFile(dir + "manifest.ttl", manifest(dsp, uiBinary)) &&
                    writeFile(dir + "Bleepifier.ttl", pluginDescription(dsp, uiBinary)) &&
                    writeFile(dir + "presets.ttl", presetDescriptions());
    return ok ? 0 : 1;
}
