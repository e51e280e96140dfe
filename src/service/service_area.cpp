// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/service_area.hpp"

#include "model/calibration_tables.hpp"
#include "model/channel_record.hpp"
#include "model/document_file.hpp"
#include "service/dtmf_initialization.hpp"
#include "service/parameter_adjust.hpp"

namespace kestra {

namespace {

void CommitLoadedControls(ServiceArea area, MemoryImage& image) {
    if (area == ServiceArea::ParameterAdjust) {
        ParameterAdjustForm form = LoadParameterAdjust(image);
        CommitParameterAdjust(form, image);
    } else if (area == ServiceArea::DtmfInitialization) {
        DtmfInitializationForm form = LoadDtmfInitialization(image);
        CommitDtmfInitialization(form, image);
    }
}

bool SameInRanges(const ServiceTransferPlan& plan, const MemoryImage& a, const MemoryImage& b) {
    for (const CloneRange& range : plan.UsedRanges()) {
        for (std::size_t at = range.start; at < range.end; ++at) {
            if (a[at] != b[at]) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

const ServiceAreaInfo& AreaInfo(ServiceArea area) {
    return kServiceAreas[static_cast<std::size_t>(area)];
}

std::optional<ServiceArea> ServiceAreaOfName(std::string_view name) {
    for (const ServiceAreaInfo& info : kServiceAreas) {
        if (info.name == name) {
            return info.area;
        }
    }
    return std::nullopt;
}

void PrepareServiceWrite(ServiceArea area, MemoryImage& image) {
    if (area == ServiceArea::SqlAdjust) {
        ComputeBandPoints(image);
    } else {
        CommitLoadedControls(area, image);
    }
}

void FinishServiceRead(ServiceArea area, MemoryImage& image, SectionLimits& limits) {
    if (area == ServiceArea::ParameterAdjust) {
        ReadModelLimits(image, limits);
    }
    CommitLoadedControls(area, image);
}

bool HoldsUnreadValues(ServiceArea area, const MemoryImage& image) {
    const ServiceTransferPlan& plan = AreaInfo(area).write;
    for (const MemoryImage& blank : {MemoryImage(), BuiltInDocumentImage()}) {
        MemoryImage committed = blank;
        PrepareServiceWrite(area, committed);
        if (SameInRanges(plan, image, blank) || SameInRanges(plan, image, committed)) {
            return true;
        }
    }
    return false;
}

}  // namespace kestra
