// Resource and control identifiers of the card.
#pragma once

#define IDI_VELOPASS 128
#define IDD_CARD 102
// The card's window class, named on the template's CLASS line and registered,
// as a copy of the system's dialog class, before the template is used.
#define CARD_CLASS "ZellVelopass"

#define IDC_PRODUCT_NAME 1000
#define IDC_SERIAL_NUMBER 1001
#define IDC_SNID 1002
#define IDC_PART_NUMBER 1003
#define IDC_DATE_OF_PURCHASE 1004
#define IDC_FUB 1005
#define IDC_DLR 1006
#define IDC_PRINT 1007
#define IDC_CLOSE 1008
