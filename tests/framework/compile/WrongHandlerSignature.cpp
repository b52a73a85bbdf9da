// Must not compile: a timer handler that takes the wrong argument type. Built once with
// RIGHT_SIGNATURE defined (must compile) so the failure is known to come from the check.
#include "Afx.h"

class CProbe : public CWnd {
protected:
#ifdef RIGHT_SIGNATURE
    void OnTimer(UINT_PTR) {}
#else
    void OnTimer(int) {}
#endif
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbe, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()
