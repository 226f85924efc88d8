// Identifiers of the resources, shared by the code and the resource script.
#pragma once

#define IDS_CAPTURE_DONE 101
#define IDD_CAPTURE 129
#define IDI_APP 130
#define IDS_CAPTION 131
#define IDS_BAD_DISK_NUMBER 132
#define IDS_CAPTURE_FAILED 133
#define IDS_OUTPUT_NAME 134

#define IDC_DISK_NUMBER 1001
#define IDC_DESCRIPTION 1002

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The version, defined once for the numeric and the string fields.
#define PLATTERLIFT_VERSION_NUMBERS 6, 1, 1, 0
#define PLATTERLIFT_FILE_VERSION "6.1.1.0"
#define PLATTERLIFT_PRODUCT_VERSION "6.1.1"
