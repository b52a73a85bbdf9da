// Resource ids of the floor program.
#ifndef BENCH_FLOOR_IDS_H
#define BENCH_FLOOR_IDS_H

#define IDD_FLOOR        100
#define IDC_FLOOR_CLOSE  1007

#endif
