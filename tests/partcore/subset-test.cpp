// subset-test.cpp - (being written)
