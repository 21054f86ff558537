// reader-test.cpp - (being written)
