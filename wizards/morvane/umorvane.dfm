object fmorvane: Tfmorvane
end
