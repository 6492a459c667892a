#include <QtQuickTest>

QUICK_TEST_MAIN(kelda_scene)
