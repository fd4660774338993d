// The real converter: small clips of the shapes people's videos have (made by real_converter_test.sh)
// converted by the program's own run (look, plan, log, converter, the output put in place) into every
// listed type, in the usual and in the fast mode. The usual mode converts every one; the fast mode
// converts or refuses before starting, never fails. The runner decodes every output afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

#include <shlobj.h>

#include "convert/looks.h"
#include "convert/output_place.h"
#include "convert/run_end.h"
#include "tests/wine/converter_beside.h"
#include "tests/wine/in_process.h"

using namespace test;

namespace {

const wchar_t* const kTypes[] = {L"flv", L"avi", L"mov", L"mp4", L"m4v", L"ogg", L"ogv", L"webm"};

std::wstring Media(const std::wstring& name = L"") {
    wchar_t folder[MAX_PATH] = {};
    GetEnvironmentVariableW(L"KESTO_MEDIA", folder, MAX_PATH);
    return std::wstring(folder) + (name.empty() ? L"" : L"\\" + name);
}

ULONGLONG Dates(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return (ULONGLONG(data.ftCreationTime.dwHighDateTime) << 32 | data.ftCreationTime.dwLowDateTime) ^
           (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime) << 1;
}

// One conversion as Publish runs it.
struct Conversion {
    std::wstring shape, output;
    OutputPlace place;
    ConverterRun run;
};

void Start(Conversion& c, int mode, const Part& part = {}, const std::wstring& folder = L"shapes") {
    const std::wstring input = folder.empty() ? Media(c.shape) : Media(folder + L"\\" + c.shape);
    c.place = PrepareOutput(Utf8(c.output), {Utf8(input)});
    c.run.request = {ModeOf(mode), "15", "", Utf8(input), c.place.written};
    c.run.request.part = part;
    ASSERT_TRUE(StartRun(c.run));
}

// What became of it: "converted", or why not.
std::string Finish(Conversion& c) {
    EXPECT_EQ(WaitForSingleObject(c.run.worker, 120000), WAIT_OBJECT_0) << Utf8(c.output);
    ReleaseConverterRun(c.run);
    const SettledOutput settled = Settle(c.run, c.place);
    if (c.run.outcome == RunOutcome::Succeeded) return "converted";
    if (c.run.outcome == RunOutcome::Refused) return "refused: " + c.run.refusal;
    return "FAILED: " + FailureMessage(c.run, c.place, settled);
}

} // namespace

TEST(RealConverter, EveryShapeConvertsIntoEveryTypeOrTheFastModeRefusesBeforeStarting) {
    ASSERT_TRUE(PlaceConverter(true));
    const std::vector<std::wstring> shapes = NamesMatching(Media(L"shapes\\*"));
    ASSERT_GE(shapes.size(), 16u);
    // Loaded together: each is looked at once, ahead of its conversions.
    std::vector<std::string> inputs;
    for (const std::wstring& shape : shapes)
        inputs.push_back(Utf8(Media(L"shapes\\" + shape)));
    LookAhead(inputs);
    for (const std::string& input : inputs)
        EXPECT_FALSE(AwaitLook(input, nullptr).value_or(MediaLook{}).streams.empty()) << input;
    std::vector<std::unique_ptr<Conversion>> all;
    for (int mode : {1, 0})
        for (const wchar_t* type : kTypes) {
            const std::wstring folder = Media(std::wstring(mode ? L"usual\\" : L"fast\\") + type);
            SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
            for (const std::wstring& shape : shapes) {
                all.push_back(std::make_unique<Conversion>());
                all.back()->shape = shape;
                all.back()->output = folder + L"\\" + shape.substr(0, shape.rfind(L'.')) + L"." + type;
                DeleteFileW(all.back()->output.c_str());
            }
        }
    // Two at a time, as the machine has two cores and a short clip's run is mostly the converter starting.
    std::map<std::string, std::string> outcomes;
    for (size_t i = 0; i < all.size(); i += 2) {
        const size_t count = std::min<size_t>(2, all.size() - i);
        for (size_t j = 0; j < count; ++j) {
            const bool usual = all[i + j]->output.find(L"\\usual\\") != std::wstring::npos;
            Start(*all[i + j], usual ? 1 : 0);
        }
        for (size_t j = 0; j < count; ++j)
            outcomes[Utf8(all[i + j]->output.substr(Media().size() + 1))] = Finish(*all[i + j]);
    }

    // Every output written is listed for the runner to decode; the table goes to the log.
    std::string written;
    const std::string log = ReadBytes(LogBeside());
    for (const auto& c : all) {
        const std::string name = Utf8(c->output.substr(Media().size() + 1)), outcome = outcomes[name];
        std::printf("%-28s %s\n", name.c_str(), outcome.c_str());
        // The usual mode converts every one; the fast mode converts or refuses, never fails.
        EXPECT_TRUE(outcome == "converted" ||
                    (name.rfind("fast\\", 0) == 0 && outcome.rfind("refused", 0) == 0))
            << name << ": " << outcome;
        EXPECT_EQ(FileExists(c->output), outcome == "converted") << name;
        if (outcome == "converted") written += Utf8(c->output) + "\t" + Utf8(c->shape) + "\n";
        EXPECT_TRUE(outcome.rfind("refused", 0) != 0 || log.find(Utf8(c->output)) == std::string::npos)
            << name << ": a refused video starts no converter";
    }
    WriteBytes(Media(L"written.txt"), written);

    // The fast mode copies what each type holds and converts only the sound it cannot.
    EXPECT_EQ(outcomes["fast\\avi\\hevc.avi"],
              "refused: AVI cannot hold this video's picture (HEVC) as it is");
    EXPECT_EQ(outcomes["fast\\mp4\\camera.mp4"], "converted");
    EXPECT_EQ(outcomes["fast\\mov\\old.mov"], "refused: MOV cannot hold this video's picture (WMV) as it is");
    EXPECT_EQ(Dates(Media(L"usual\\mp4\\phone.mp4")), Dates(Media(L"shapes\\phone.mov")))
        << "it sorts with the original";
    RemoveConverterAndLog();
}

TEST(RealConverter, APartIsKeptExactlyWhenReencodedAndFromItsKeyPictureWhenCopied) {
    ASSERT_TRUE(PlaceConverter(true));
    SHCreateDirectoryExW(nullptr, Media(L"part").c_str(), nullptr);
    std::string written;
    for (int mode : {1, 0}) {
        Conversion c;
        c.shape = L"ten.mp4"; // 10 s, a key picture every 74 pictures (2.96 s)
        c.output = Media(mode ? L"part\\usual.mp4" : L"part\\fast.mp4");
        DeleteFileW(c.output.c_str());
        Start(c, mode, Part{3.0, 6.0}, L"");
        EXPECT_EQ(Finish(c), "converted") << mode;
        EXPECT_EQ(c.run.changed,
                  mode ? "" : "Kept 0:00:02.96 to 0:00:06.00: a copy can only start at a key picture.");
        written += Utf8(c.output) + "\tten.mp4\n";
    }
    WriteBytes(Media(L"part\\written.txt"), written);
    RemoveConverterAndLog();
}
