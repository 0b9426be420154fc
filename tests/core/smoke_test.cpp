#include <gtest/gtest.h>

#include "scoring/score_log.h"

TEST(Smoke, EmptyTextScoresZero) { EXPECT_EQ(zelo::ScoreLog("").final_score, 0); }
