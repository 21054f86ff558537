// meet-join-test.cpp - (being written)
