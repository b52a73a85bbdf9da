// Resource ids of the image-button tests' own resources (PngButtonTest.rc).
#ifndef PNG_BUTTON_TEST_IDS_H
#define PNG_BUTTON_TEST_IDS_H

#define IDD_TEST_BUTTON_HOST    400
#define IDC_TEST_BUTTON         401

#define IDR_TEST_PATTERN        410
#define IDR_TEST_PATTERN_ALPHA  411
#define IDR_TEST_NOT_AN_IMAGE   412
#define IDR_TEST_EMPTY          413
#define IDR_TEST_MISSING        419

#endif
