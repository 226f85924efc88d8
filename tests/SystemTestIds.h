// Identifiers of the support-library tests' own resources, clear of the program's.
#pragma once

#define IDS_TEST_125 300
#define IDS_TEST_126 301
#define IDS_TEST_127 302
#define IDS_TEST_253 303
#define IDS_TEST_254 304
#define IDS_TEST_LONG_CAPTION 305
#define IDS_TEST_NO_INSERT 306
#define IDS_TEST_TWO_PASSES 307
#define IDS_TEST_MISSING 399

#define IDD_TEST 500
#define IDD_TEST_MISSING 599
#define IDC_TEST_EDIT 100
