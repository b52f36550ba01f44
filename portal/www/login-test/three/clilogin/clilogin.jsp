x|loginerr|badpassword
