#include "merge/airport_lookup.h"

#include "base/file_ops.h"
#include "merge/stage_progress.h"
#include "scenery/xplane_paths.h"

#include <memory>
#include <utility>

AirportLookup::AirportLookup(std::vector<std::string> globalPaths, const MergeScreen& screen,
                             MergeStatus& status)
    : globalPaths_(std::move(globalPaths)), screen_(screen), status_(status) {}

std::optional<std::string> AirportLookup::regionOf(const std::string& navDatPath,
                                                   std::string_view icao) {
    return firstOf(navDatPath, icao, [](const AirportFacts& facts) { return facts.region; });
}

std::optional<std::string> AirportLookup::nameOf(const std::string& navDatPath,
                                                 std::string_view icao) {
    return firstOf(navDatPath, icao, [](const AirportFacts& facts) { return facts.name; });
}

template <typename Fact>
std::optional<std::string> AirportLookup::firstOf(const std::string& navDatPath,
                                                  std::string_view icao, Fact&& fact) {
    for (const AirportData* data : {&packData(navDatPath), &globalData()}) {
        if (const AirportFacts* facts = data->find(icao); facts && !fact(*facts).empty())
            return fact(*facts);
    }
    return std::nullopt;
}

const AirportData& AirportLookup::packData(const std::string& navDatPath) {
    const auto found = packs_.find(navDatPath);
    if (found != packs_.end())
        return found->second;
    const std::string path = packAirportDataPath(navDatPath);
    return packs_.emplace(navDatPath, isFile(path) ? readData(path) : AirportData()).first->second;
}

const AirportData& AirportLookup::globalData() {
    if (!global_) {
        global_.emplace();
        for (const std::string& path : globalPaths_) {
            if (isFile(path)) {
                global_ = readData(path);
                break;
            }
        }
    }
    return *global_;
}

AirportData AirportLookup::readData(const std::string& path) {
    status_.show("Loading strings from ", path);
    std::unique_ptr<StageProgress> progress;
    AirportData data;
    const FileResult read = data.read(path, [&](std::uint64_t done, std::uint64_t size) {
        if (!progress)
            progress = std::make_unique<StageProgress>(screen_.progress, size);
        progress->advanceTo(done);
    });
    if (progress)
        progress->finish();
    return read ? data : AirportData();
}
