// The separator search of ResyncArchive a byte at a time through Read, as
// it was first written: what the tests check the chunked search against.
#pragma once

#include "platform/archive.h"

bool ResyncArchiveReference(CArchive& ar, const char* sep, int len = 8);
