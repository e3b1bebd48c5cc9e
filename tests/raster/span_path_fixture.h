// span_path_test: a test fixture run once per span path, a path the processor lacks reported skipped.
#pragma once

#include <gtest/gtest.h>

#include "raster/span_fill.h"

// Each test of a fixture derived from this runs on the path of its parameter, and the path in
// use before is restored afterwards. Instantiate with SOFTCUBE_EVERY_SPAN_PATH(Fixture).
class span_path_test : public testing::TestWithParam<span_isa_t> {
protected:
    void SetUp() override {
        if (set_span_isa(isa) != isa) GTEST_SKIP() << span_isa_name(isa) << " path not supported by this processor";
    }
    void TearDown() override { set_span_isa(previous); }

    const span_isa_t isa = GetParam();
    const span_isa_t previous = span_isa();
};

#define SOFTCUBE_EVERY_SPAN_PATH(fixture)                                                                             \
    INSTANTIATE_TEST_SUITE_P(                                                                                         \
        Path, fixture, testing::Values(span_isa_t::portable, span_isa_t::sse2, span_isa_t::avx2, span_isa_t::avx512), \
        [](const testing::TestParamInfo<span_isa_t>& info) { return std::string(span_isa_name(info.param)); })
