// A run log over a temporary folder.
#pragma once

#include "output/RunLog.h"
#include "platform/Errors.h"
#include "platform/TextEncoding.h"
#include "tests/output/OutputFixture.h"

namespace quillorn::test {

class RunLogTest : public test::OutputFixture {};

}  // namespace quillorn::test
