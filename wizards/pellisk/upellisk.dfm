object fpellisk: Tfpellisk
end
