// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three calibration areas a service dialog reads and writes (Parameter Adjust, DTMF
// Initialization, Sql Adjust) as one table: each area's name on the command line, its dialog's
// caption and the transfers of its "Read" and "Write". Around it the rules the dialogs and
// kestra-cli share: what a dialog does to the image when its Write is pressed and after its Read
// went through, and whether the values a Write would send were ever read from a radio, so that
// a radio's factory calibration is never replaced by a new document's blanks unasked.

#include <array>
#include <optional>
#include <string_view>

#include "link/service_transfer.hpp"
#include "model/memory_image.hpp"
#include "model/section_limits.hpp"

namespace kestra {

enum class ServiceArea { ParameterAdjust, DtmfInitialization, SqlAdjust };

struct ServiceAreaInfo {
    ServiceArea area;
    std::string_view name;     // on the command line: "parameter-adjust"
    std::string_view caption;  // the dialog's caption: "Parameter Adjust"
    ServiceTransferPlan read;
    ServiceTransferPlan write;
};

inline constexpr std::array<ServiceAreaInfo, 3> kServiceAreas{{
    {ServiceArea::ParameterAdjust, "parameter-adjust", "Parameter Adjust", kParameterAdjustRead,
     kParameterAdjustWrite},
    {ServiceArea::DtmfInitialization, "dtmf-initialization", "DTMF Initialization",
     kDtmfInitializationRead, kDtmfInitializationWrite},
    {ServiceArea::SqlAdjust, "sql-adjust", "Sql Adjust", kSqlAdjustRead, kSqlAdjustWrite},
}};

const ServiceAreaInfo& AreaInfo(ServiceArea area);
// The area of a command-line name, or nothing.
std::optional<ServiceArea> ServiceAreaOfName(std::string_view name);

// What the area's dialog does to the image when it opens and its "Write" is pressed at once:
// Parameter Adjust and DTMF Initialization commit their controls (clamps, tags, the derived
// tables), Sql Adjust computes the band points (its first point's record goes back unchanged).
void PrepareServiceWrite(ServiceArea area, MemoryImage& image);

// What the area's dialog does once its "Read" went through and it is closed: Parameter Adjust
// refreshes the section limits from the model block; Parameter Adjust and DTMF Initialization
// commit the controls loaded from the image.
void FinishServiceRead(ServiceArea area, MemoryImage& image, SectionLimits& limits);

// True when the values a Write of the area would send (the image as PrepareServiceWrite or the
// dialog's commit leaves it) were never read from a radio: the write's ranges hold what a new
// document or an erased memory (0xFF) holds there, as such or as the dialog commits it.
bool HoldsUnreadValues(ServiceArea area, const MemoryImage& image);

inline constexpr std::string_view kUnreadValuesQuestion =
    "These values were not read from a radio. Write them anyway?";

}  // namespace kestra
