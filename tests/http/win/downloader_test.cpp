// Filled in with the reference service's tests.
