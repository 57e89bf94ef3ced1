#pragma once

namespace test_support {

// Whether this Windows program runs under Wine. Wine keeps files on the Linux file system beneath
// it and takes some answers from the X server: the few tests that meet such a place skip there
// with the reason, and the same behaviour is checked on Linux.
bool UnderWine();

}  // namespace test_support
