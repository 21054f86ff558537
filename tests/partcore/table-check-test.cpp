// table-check-test.cpp - (being written)
