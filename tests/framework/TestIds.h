// Resource ids of the framework tests' own dialogs and strings.
#pragma once

#define IDD_TEST_PLAIN 200
#define IDD_TEST_MODELESS 201
#define IDD_TEST_PLACED 202
#define IDD_TEST_DSCENTER 203
#define IDD_TEST_VISIBLE 204
#define IDD_TEST_OWNERDRAW 205

#define IDC_TEST_BUTTON 300
#define IDC_TEST_SLIDER 301
#define IDC_TEST_DEFBUTTON 302

#define IDS_TEST_WIDE 400
